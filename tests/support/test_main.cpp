// Test main shared by every test executable. It is built twice: for the core
// parts (test_<name>: the plain classes) it makes no application object at
// all, so those run under ThreadSanitizer with nothing of Qt's GUI in the
// process; for the widget parts (test_<name>_ui, VELTRAN_TEST_WIDGETS) it
// makes the QApplication on the offscreen platform, so GUI tests need no
// display.
//
// Every test executable runs in a fresh scratch directory that also holds
// its per-user settings, so a command that writes REPORT.TXT or a tape into
// the current directory, or a store rooted at the user's config, never
// touches the source tree or the developer's own settings.
#ifdef VELTRAN_TEST_WIDGETS
#include <QApplication>
#endif
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

// Hamlib (a system library) keeps a few small blocks of a rigctld
// connection that is closed and opened again; the rig tests do that on
// purpose. Read by LeakSanitizer in the sanitizer builds only.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libhamlib.so\n";
}

// Read by ThreadSanitizer at start-up (unused otherwise). libpulse, which
// is not instrumented, hands its socket buffers from one connection's
// thread to another's through lock-free lists whose atomics the sanitizer
// can't see, and makes its own mutexes lazily the same way; its reports on
// them are not about this program. Only those frames are named, so the
// program's own callbacks, which libpulse calls, are still checked.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:pa_iochannel_read_with_ancil_data\nrace:pa_mutex_lock\n";
}

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);

    std::string scratch = (std::filesystem::temp_directory_path() / "veltran-test-XXXXXX").string();
    if (!::mkdtemp(scratch.data()) || ::chdir(scratch.c_str()) != 0)
        return 2;
    ::setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (scratch + "/cache").c_str(), 1);
    // Ports that a test does not map explicitly run on the simulated modem:
    // no test ever opens a real serial device.
    ::setenv("VELTRAN_DEMO", "1", 1);

    int rc = 0;
    {
#ifdef VELTRAN_TEST_WIDGETS
        QApplication app(argc, argv);
#endif
        rc = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return rc;
}
