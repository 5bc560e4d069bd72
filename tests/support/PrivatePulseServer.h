#pragma once
// A private PulseAudio server for tests and benchmarks: `pulseaudio
// --daemonize=no -n` in its own runtime directory (a fresh temporary
// directory that also serves as its home, so the developer's own server,
// cookie and configuration are never touched), with one null sink
// (kSinkName, whose monitor source is kMonitorName) and no idle exit.
// Clients reach it at Address(); Pactl runs pactl against it.
//
// The server is stopped when the object goes (SIGTERM, then SIGKILL after a
// bounded wait), so also when a test fails; if the test process dies, the
// kernel kills the server with it (parent-death signal). Running as root
// (CI) needs nothing more than a warning in the server's log: a per-user
// server is allowed for root when it is started by hand.
//
// The server runs its threads at real-time priority where it may (as root,
// or with rtkit): on a loaded machine a sink thread that wakes late runs a
// 40 ms stream dry, and the gap damages the character being sent.
//
// Not thread-safe: one owner, on the thread that made it (the parent-death
// signal follows that thread).
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

class PrivatePulseServer {
public:
    static constexpr const char* kSinkName = "veltran_null";
    static constexpr const char* kMonitorName = "veltran_null.monitor";
    // For every null sink of a test: without rewinds (a null sink that
    // rewinds renders its first two seconds at once, and then its monitor
    // and its streams stand still that long); one float channel at 48 kHz,
    // as a USB sound card would run.
    static constexpr const char* kSinkOptions = "norewinds=1 rate=48000 channels=1 format=float32le";

    PrivatePulseServer() { Launch(); }
    ~PrivatePulseServer()
    {
        Stop();
        std::error_code ignored;
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir, ignored);
    }
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    // Stops the server now (a test of a server that dies).
    void Stop()
    {
        StopClient(m_pid);
        m_pid = -1;
    }

    bool Ok() const { return m_error.empty(); }
    // Why the server is not running (with the tail of its log).
    const std::string& Error() const { return m_error; }
    // What PULSE_SERVER or a client's server address takes.
    std::string Address() const { return "unix:" + Socket(); }

    // Runs `pactl <args>` against the server, waiting at most 10 s; true
    // when it exited with 0.
    bool Pactl(const std::vector<std::string>& args) const
    {
        std::vector<std::string> argv{"pactl"};
        argv.insert(argv.end(), args.begin(), args.end());
        const pid_t pid = Spawn(argv, false);
        if (pid <= 0)
            return false;
        int status = 0;
        if (!WaitExit(pid, std::chrono::milliseconds(10000), &status)) {
            ::kill(pid, SIGKILL);
            WaitExit(pid, std::chrono::milliseconds(3000));
            return false;
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // Starts a client program (pacat, ...) against the server; its output
    // goes to the server's directory. Stop it with StopClient.
    pid_t StartClient(const std::vector<std::string>& argv) const { return Spawn(argv, false); }
    static void StopClient(pid_t pid)
    {
        if (pid <= 0)
            return;
        ::kill(pid, SIGTERM);
        if (!WaitExit(pid, std::chrono::milliseconds(3000))) {
            ::kill(pid, SIGKILL);
            WaitExit(pid, std::chrono::milliseconds(3000));
        }
    }

    // Whether tests that need the server must fail (CI) rather than skip
    // when it is not there.
    static bool Required()
    {
        const char* ci = std::getenv("CI");
        return ci && *ci && std::string(ci) != "0" && std::string(ci) != "false";
    }

private:
    std::string Socket() const { return m_dir + "/native"; }

    void Launch()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "veltran-pulse-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) {
            m_error = "no temporary directory for the sound server";
            return;
        }
        m_dir = tmpl;
        if (!OnPath("pulseaudio") || !OnPath("pactl")) {
            m_error = "pulseaudio or pactl is not installed (Debian packages pulseaudio, pulseaudio-utils)";
            return;
        }
        ::chmod(m_dir.c_str(), 0700);
        const std::string sink = std::string("module-null-sink sink_name=") + kSinkName
                               + " " + kSinkOptions;
        const std::string protocol = "module-native-protocol-unix auth-anonymous=1 socket=" + Socket();
        m_pid = Spawn({"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                       "--disable-shm=yes", "--realtime=yes", "--high-priority=yes", "--log-target=file:" + m_dir + "/log",
                       "--log-level=warning", "-L", sink, "-L", protocol},
                      true);
        if (m_pid <= 0) {
            m_error = "could not start pulseaudio";
            return;
        }
        // Ready once the protocol module listens; it loads after the sink.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(Socket())) {
            int status = 0;
            if (WaitExit(m_pid, std::chrono::milliseconds(50), &status)) {
                m_pid = -1;
                m_error = "pulseaudio exited at start-up" + LogTail();
                return;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                m_error = "pulseaudio did not start within 10 s" + LogTail();
                return;
            }
        }
    }

    std::string LogTail() const
    {
        std::ifstream in(m_dir + "/log");
        std::stringstream text;
        text << in.rdbuf();
        const std::string log = text.str();
        if (log.empty())
            return "";
        return ":\n" + log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
    }

    static bool OnPath(const std::string& program)
    {
        const char* path = std::getenv("PATH");
        std::stringstream dirs(path ? path : "/usr/bin:/bin");
        for (std::string dir; std::getline(dirs, dir, ':');)
            if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0)
                return true;
        return false;
    }

    // fork + exec with the server's environment; `server`: the server itself
    // (killed with this thread, its output to its log), else a client.
    pid_t Spawn(const std::vector<std::string>& args, bool server) const
    {
        std::vector<std::string> env;
        const auto replaced = [](const std::string& s) {
            for (const char* name : {"HOME=", "XDG_RUNTIME_DIR=", "PULSE_RUNTIME_PATH=", "PULSE_SERVER=",
                                     "XDG_CONFIG_HOME=", "PULSE_STATE_PATH=", "DISPLAY=", "DBUS_SESSION_BUS_ADDRESS="})
                if (s.rfind(name, 0) == 0)
                    return true;
            return false;
        };
        for (char** e = environ; *e; ++e)
            if (!replaced(*e))
                env.push_back(*e);
        env.push_back("HOME=" + m_dir);
        env.push_back("XDG_RUNTIME_DIR=" + m_dir);
        env.push_back("XDG_CONFIG_HOME=" + m_dir + "/config");
        env.push_back("PULSE_RUNTIME_PATH=" + m_dir + "/runtime");
        env.push_back("PULSE_STATE_PATH=" + m_dir + "/state");
        env.push_back("PULSE_SERVER=" + Address());
        std::vector<char*> argv, envp;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (const auto& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        const std::string log = m_dir + "/client.log";
        const pid_t parent = ::getpid();
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (server) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent)
                    ::_exit(127);
            }
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            const int in = ::open("/dev/null", O_RDONLY);
            if (out >= 0) {
                ::dup2(out, 1);
                ::dup2(out, 2);
            }
            if (in >= 0)
                ::dup2(in, 0);
            ::execvpe(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        return pid;
    }

    // Reaps `pid` if it exits within `timeout`.
    static bool WaitExit(pid_t pid, std::chrono::milliseconds timeout, int* status = nullptr)
    {
        int st = 0;
        const pid_t done = ::waitpid(pid, &st, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) {
            if (status)
                *status = st;
            return true;
        }
        const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
        if (fd < 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
        ::close(fd);
        if (ready <= 0)
            return false;
        ::waitpid(pid, &st, 0);
        if (status)
            *status = st;
        return true;
    }

    std::string m_dir;
    pid_t m_pid = -1;
    std::string m_error;
};
