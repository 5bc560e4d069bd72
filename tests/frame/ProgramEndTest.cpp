// The built program, transmitting, ended from outside: by SIGTERM (with RTS
// keying, and with CAT PTT through a real rigctld) and by the loss of its X
// server. The RTTY port is the simulated modem with a keying trace; the
// startup tape starts a transmission that never ends by itself (Ctrl-W, idle
// fill). Whatever ends it, the trace must close with the transmitter
// unkeyed after the last write, and a CAT-keyed rig must be released.
#include "support/Rigctld.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;

std::string ProgramPath()
{
    if (const char* given = std::getenv("VELTRAN_PROGRAM"))
        return given;
    // build/<type>/tests/test_frame -> build/<type>/veltran
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : (self.parent_path().parent_path() / "veltran").string();
}

#define PROGRAM_OR_SKIP(path)                                                                      \
    do {                                                                                           \
        if (::access((path).c_str(), X_OK) != 0) {                                                 \
            if (std::getenv("CI"))                                                                 \
                FAIL() << "the program is not built: " << (path);                                  \
            GTEST_SKIP() << "the program is not built (" << (path) << ")";                         \
        }                                                                                          \
    } while (0)

bool WaitUntil(std::chrono::milliseconds limit, const std::function<bool()>& done)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The event of a trace line ("<us> <event> [detail]").
std::string Event(const std::string& line)
{
    std::istringstream in(line);
    std::string time, event, detail;
    in >> time >> event >> detail;
    return detail.empty() || event != "rts" ? event : event + " " + detail;
}

// The program on its own settings, current directory and trace.
class Station {
public:
    explicit Station(const std::string& extraSettings)
    {
        m_trace = m_dir.Path() + "/keying.trace";
        std::filesystem::create_directories(m_dir.Path() + "/config/Quorvane");
        m_dir.Write("config/Quorvane/VELTRAN.conf",
                    "[Options]\nSplash=0\n\n[Ports]\nTNCPort=0\n\n[Devices]\nCOM1=sim:loopback?trace=" + m_trace +
                        "\n\n" + extraSettings);
        m_dir.Write("TAPESTARTUP.TXT", "\x17RYRYRY DE TEST\r\n");
    }
    ~Station()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    // Starts the program; `display` empty: the offscreen platform.
    void Start(const std::string& program, const std::string& display = {})
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string v = *e;
            if (v.rfind("VELTRAN_DEMO=", 0) && v.rfind("QT_QPA_PLATFORM=", 0) && v.rfind("DISPLAY=", 0) &&
                v.rfind("XDG_", 0))
                env.push_back(v);
        }
        env.push_back(display.empty() ? "QT_QPA_PLATFORM=offscreen" : "DISPLAY=" + display);
        for (const char* d : {"CONFIG", "DATA", "STATE", "CACHE"}) {
            std::string lower = d;
            for (char& c : lower)
                c = static_cast<char>(c - 'A' + 'a');
            env.push_back(std::string("XDG_") + d + "_HOME=" + m_dir.Path() + "/" + lower);
        }
        std::vector<char*> envp, argv{const_cast<char*>(program.c_str()), nullptr};
        for (std::string& v : env)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        const std::string log = m_dir.Path() + "/program.log";
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only async-signal-safe calls between fork and exec.
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(out, 1);
            ::dup2(out, 2);
            if (::chdir(m_dir.Path().c_str()) == 0)
                ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }

    // The transmitter is keyed and text is going out.
    bool WaitTransmitting()
    {
        return WaitUntil(20s, [this] {
            for (const std::string& line : Lines(m_trace))
                if (Event(line) == "write")
                    return true;
            return false;
        });
    }

    // The raw wait status, or -1 when the program did not end in time.
    int WaitEnd()
    {
        int status = -1;
        const bool ended = WaitUntil(20s, [&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; });
        if (!ended)
            return -1;
        m_pid = -1;
        return status;
    }

    pid_t Pid() const { return m_pid; }
    const std::string& Dir() const { return m_dir.Path(); }
    std::vector<std::string> TraceEvents() const
    {
        std::vector<std::string> events;
        for (const std::string& line : Lines(m_trace))
            events.push_back(Event(line));
        return events;
    }

private:
    ScratchDir m_dir;
    std::string m_trace;
    pid_t m_pid = -1;
};

// After the last write: the transmitter unkeyed, then the port closed, last.
void ExpectEndsUnkeyed(const std::vector<std::string>& events)
{
    ASSERT_FALSE(events.empty());
    size_t lastWrite = 0, lastUnkey = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i] == "write")
            lastWrite = i;
        if (events[i] == "rts 0")
            lastUnkey = i;
    }
    EXPECT_GT(lastUnkey, lastWrite) << "the transmitter is left keyed after the last write";
    EXPECT_EQ(events.back(), "close");
}

}  // namespace

TEST(ProgramEnd, SignalsEndATransmissionAsExitDoesWith128PlusTheSignal)
{
    const std::string program = ProgramPath();
    PROGRAM_OR_SKIP(program);
    for (int sig : {SIGTERM, SIGHUP}) {
        Station station("");
        station.Start(program);
        ASSERT_TRUE(station.WaitTransmitting()) << "never transmitted; see " << station.Dir();
        ::kill(station.Pid(), sig);
        const int status = station.WaitEnd();
        ASSERT_TRUE(status != -1 && WIFEXITED(status)) << sig << ": did not exit by itself (" << status << ")";
        EXPECT_EQ(WEXITSTATUS(status), 128 + sig);
        ExpectEndsUnkeyed(station.TraceEvents());
    }
}

TEST(ProgramEnd, SigtermReleasesACatKeyedRigBeforeTheProgramIsGone)
{
    RIGCTLD_OR_SKIP();
    const std::string program = ProgramPath();
    PROGRAM_OR_SKIP(program);
    Rigctld daemon;
    ASSERT_TRUE(daemon.Running());
    Station station("[Rig]\nModel=2\nPort=" + daemon.Address() + "\nPTT=cat\n");
    station.Start(program);
    ASSERT_TRUE(WaitUntil(20s, [&] { return daemon.Ptt() == std::optional<bool>(true); })) << "the rig was never keyed";
    ::kill(station.Pid(), SIGTERM);
    const int status = station.WaitEnd();
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
    EXPECT_EQ(daemon.Ptt(), std::optional<bool>(false));
}

// Qt ends the program with exit(1) when its X server goes away.
TEST(ProgramEnd, LosingTheXServerStillUnkeys)
{
    const std::string program = ProgramPath();
    PROGRAM_OR_SKIP(program);
    if (::access("/usr/bin/Xvfb", X_OK) != 0)
        GTEST_SKIP() << "Xvfb not installed";
    Station station("");
    int displayPipe[2];
    ASSERT_EQ(::pipe(displayPipe), 0);
    const std::string fd = std::to_string(displayPipe[1]);
    const pid_t xvfb = ::fork();
    if (xvfb == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(displayPipe[1]);
    std::string display;
    char c = 0;
    while (::read(displayPipe[0], &c, 1) == 1 && c != '\n')
        display += c;
    ::close(displayPipe[0]);
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    station.Start(program, ":" + display);
    const bool transmitting = station.WaitTransmitting();
    ::kill(xvfb, SIGKILL);
    ::waitpid(xvfb, nullptr, 0);
    ASSERT_TRUE(transmitting) << "never transmitted; see " << station.Dir();
    const int status = station.WaitEnd();
    ASSERT_NE(status, -1) << "did not end without its X server";
    ExpectEndsUnkeyed(station.TraceEvents());
}
