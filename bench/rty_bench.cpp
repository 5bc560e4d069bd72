// Document file speed and memory: saving and opening 1,000,000 lines of 67
// characters (about 70 MB). The open runs in a fresh process so that its peak
// resident memory (VmHWM) grows from a clean baseline.
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr int kLines = 1000000;
constexpr size_t kWidth = 67;

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return -1;
}

// CPU time (user + system) of this process so far: unlike the wall clock it
// does not grow when other work shares the machine.
double CpuMs()
{
    struct rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

// Child mode: open the file and report "ok ms cpu_ms hwm_before_kb hwm_after_kb lines".
int OpenAndReport(const char* path)
{
    MemorySettingsStore settings;
    CVELTRANDoc doc(settings);
    const long before = StatusKb("VmHWM");
    std::string error;
    const double cpuStart = CpuMs();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = doc.OpenFile(path, &error);
    const double ms = MsSince(start);
    const double cpu = CpuMs() - cpuStart;
    const long after = StatusKb("VmHWM");
    std::printf("%d %.1f %.1f %ld %ld %d\n", ok ? 1 : 0, ms, cpu, before, after, doc.GetLineCount(1));
    return ok ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--open")
        return OpenAndReport(argv[2]);

    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltran_rty_bench_" +
                             std::to_string(::getpid()) + ".rty";
    {
        MemorySettingsStore settings;
        CVELTRANDoc doc(settings);
        std::string text;
        text.reserve(kLines * (kWidth + 1));
        for (int i = 0; i < kLines; ++i) {
            std::string line(kWidth, static_cast<char>('A' + i % 26));
            line[0] = ' ';
            text += line;
            if (i + 1 < kLines)
                text += '\n';
        }
        doc.AddText(text, CVELTRANDoc::kReceiveList);
        text.clear();
        text.shrink_to_fit();

        std::string error;
        const double cpuStart = CpuMs();
        const auto start = std::chrono::steady_clock::now();
        if (!doc.SaveFile(path, &error)) {
            std::fprintf(stderr, "save failed: %s\n", error.c_str());
            return 1;
        }
        std::printf("rty_save_1M_lines_ms %.1f ms\n", MsSince(start));
        std::printf("rty_save_1M_lines_cpu_ms %.1f ms\n", CpuMs() - cpuStart);
    }

    struct stat st {};
    ::stat(path.c_str(), &st);
    // The open runs in a fresh process (this program again, with --open), so
    // that no memory freed by the save above can be reused unseen.
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return 1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl("/proc/self/exe", "bench_rty_bench", "--open", path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char buf[256] = {};
    size_t got = 0;
    for (ssize_t r; got < sizeof buf - 1 && (r = ::read(pipeFds[0], buf + got, sizeof buf - 1 - got)) > 0;)
        got += static_cast<size_t>(r);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::unlink(path.c_str());
    int ok = 0, lines = 0;
    double ms = 0, cpu = 0;
    long before = 0, after = 0;
    if (std::sscanf(buf, "%d %lf %lf %ld %ld %d", &ok, &ms, &cpu, &before, &after, &lines) != 6 || !ok ||
        lines != kLines) {
        std::fprintf(stderr, "open failed\n");
        return 1;
    }
    std::printf("rty_open_1M_lines_ms %.1f ms\n", ms);
    std::printf("rty_open_1M_lines_cpu_ms %.1f ms\n", cpu);
    std::printf("rty_file_size_mb %.1f MB\n", static_cast<double>(st.st_size) / 1e6);
    std::printf("rty_open_peak_rss_ratio %.2f ratio\n",
                static_cast<double>(after - before) * 1024.0 / static_cast<double>(st.st_size));
    return 0;
}
