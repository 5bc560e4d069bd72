#pragma once
// minimodem (Debian package minimodem) as an independent RTTY sender and
// receiver for the modem's tests: run to completion with text on its
// standard input, its standard output returned. Its messages on standard
// error are no part of the test's output.
//
// MINIMODEM_OR_SKIP: in CI (env CI set) a missing minimodem fails the test;
// elsewhere the test is skipped with a message.
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace minimodem {

inline std::string Program()
{
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/"}) {
        const std::string path = std::string(dir) + "minimodem";
        if (::access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

// Runs minimodem with `args`; nullopt when it could not be run or failed.
inline std::optional<std::string> Run(std::vector<std::string> args, const std::string& input = {})
{
    const std::string program = Program();
    int in[2], out[2];
    if (program.empty() || ::pipe(in) != 0)
        return std::nullopt;
    if (::pipe(out) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return std::nullopt;
    }
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Dies with the test, so a test that crashes leaves nothing running.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        for (int fd : {in[0], in[1], out[0], out[1], null})
            ::close(fd);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    // A program that quits before reading everything must fail the run, not
    // kill the test with SIGPIPE.
    const auto oldPipe = ::signal(SIGPIPE, SIG_IGN);
    // Small texts only: all of the input is written before the output is read.
    for (size_t done = 0; pid > 0 && done < input.size();) {
        const ssize_t n = ::write(in[1], input.data() + done, input.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(in[1]);
    ::signal(SIGPIPE, oldPipe);
    std::string output;
    char buf[4096];
    for (ssize_t n; pid > 0 && (n = ::read(out[0], buf, sizeof buf)) > 0;)
        output.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

}  // namespace minimodem

// Skips (or, in CI, fails) the calling test when minimodem is not installed.
#define MINIMODEM_OR_SKIP()                                                                        \
    do {                                                                                           \
        if (minimodem::Program().empty()) {                                                        \
            if (std::getenv("CI"))                                                                 \
                FAIL() << "minimodem is missing (Debian package minimodem)";                       \
            GTEST_SKIP() << "minimodem not installed: tests against it skipped";                   \
        }                                                                                          \
    } while (0)
