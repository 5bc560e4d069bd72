// Soak: the whole main window for a long stretch (default 10 minutes,
// `--minutes M` or `--seconds S`), offscreen:
//   - the TNC port on a simulated modem at 19,200 baud receiving random
//     printable text, line after line, as fast as the line carries it;
//   - the RTTY port on the sound-card modem at 110 baud playing a recording
//     made with the modem's own modulator (an "audio:file=" device), so the
//     demodulator runs the whole time.
// The TNC modem hands received bytes over eight at a time, as a 16550
// UART's receive FIFO does at its usual trigger level (`--fifo N`; 1 makes
// every byte readable on its own, more often than any real adapter does).
// Memory and CPU are taken from the end of a warm-up (a tenth of the run, at
// most 30 s: fonts, glyph caches, first allocations) to the end.
// Figures:
//   soak_seconds                           how long it ran
//   soak_tnc_chars_sent / _received / _lost
//   soak_rtty_chars_sent / _received / _lost (printable characters, line ends not counted)
//   soak_text_kept_mb                      text held in the document's lists at the end
//   soak_rss_growth_mb                     resident memory at the end less after the warm-up
//   soak_rss_growth_per_text_kept          that over the text added to the document
//                                          meanwhile
//   soak_own_growth_mb / _per_text_kept    the same for the process's own pages only
//                                          (goal: at most 1). Resident file pages of the
//                                          libraries are shared and dropped under pressure,
//                                          and they come in 64 KB at a time (the kernel
//                                          maps the neighbours of a faulting page): a Qt
//                                          pool thread that ends in the window, running
//                                          the C library's thread clean-up code for the
//                                          first time, adds 64 KB that has nothing to do
//                                          with the document.
//   soak_store_growth_per_text_kept        the lists' own bytes over that text: the
//                                          floor of the figure above (random printable
//                                          text deflates to about 0.85)
//   soak_cpu_percent                       user + system time of the whole process over
//                                          the run, in percent of one core (this includes
//                                          the simulated far end feeding the TNC port)
// "Lost" counts characters sent that never reached the page: the received
// text is matched to the sent text in order, and what it skips is lost.
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "frame/widgets/CMainFrame.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "modem/AudioFile.h"
#include "modem/BaudotText.h"
#include "modem/RttyModulator.h"
#include "modem/RttyParams.h"
#include "views/widgets/CVELTRANView2.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kTncCharsPerSecond = 19200.0 / 10.0;   // 8N1
constexpr double kRttyBaud = 110.0;

// Lines of 20..60 characters ended by CR LF, from `alphabet`.
std::string RandomLines(std::mt19937& rng, size_t chars, const std::string& alphabet)
{
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(20, 60);
    std::string text;
    while (text.size() < chars) {
        const int n = length(rng);
        for (int i = 0; i < n; ++i) {
            char c = alphabet[pick(rng)];
            if (c == ' ' && (i == 0 || i == n - 1))
                c = 'E';   // no blank at a line's ends: the page keeps lines as they are either way
            text += c;
        }
        text += "\r\n";
    }
    return text;
}

std::string WithoutLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

// Characters of `sent` the in-order match of `received` skips over. A
// received character with no match within a short distance is counted as
// garbage in `wrong` and does not move the match.
size_t LostCharacters(const std::string& sent, const std::string& received, size_t& wrong)
{
    constexpr size_t kWindow = 64;
    size_t s = 0, lost = 0;
    wrong = 0;
    for (char c : received) {
        size_t k = s;
        while (k < sent.size() && k - s < kWindow && sent[k] != c)
            ++k;
        if (k < sent.size() && sent[k] == c) {
            lost += k - s;
            s = k + 1;
        } else {
            ++wrong;
        }
    }
    return lost + (sent.size() - s);
}

// Resident memory in MB, both from one reading: all of it, and only the
// process's own (anonymous) pages, without the file pages of the code and
// data it maps.
struct Resident {
    double all = 0;
    double own = 0;
};

Resident ResidentMb()
{
    long pages = 0, resident = 0, shared = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld %ld", &pages, &resident, &shared) != 3)
            resident = shared = 0;
        std::fclose(f);
    }
    const double mb = static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
    return {static_cast<double>(resident) * mb, static_cast<double>(resident - shared) * mb};
}

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The recording: one second of mark, the text, two seconds of mark.
bool MakeRecording(const std::string& path, const std::string& text)
{
    RttyParams params;
    params.baud = kRttyBaud;
    params.stopBits = 1.5;
    const double rate = 8000.0;
    RttyModulator modulator(params, rate);
    modulator.QueueMark(1.0);
    for (unsigned char code : EncodeBaudotText(text, false))
        modulator.QueueCode(code);
    modulator.QueueMark(2.0);
    std::vector<float> samples(modulator.PendingSamples());
    modulator.Render(samples.data(), samples.size());
    std::string error;
    if (!WriteAudioFile(path, samples, rate, false, error)) {
        std::fprintf(stderr, "soak: %s\n", error.c_str());
        return false;
    }
    return true;
}

std::string Joined(const LineList& lines, bool marker)
{
    std::string all;
    for (std::string_view line : lines)
        all += marker && !line.empty() ? line.substr(1) : line;
    return all;
}

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.2f %s\n", name, value, unit);
}

}  // namespace

int main(int argc, char** argv)
{
    double seconds = 600.0;
    int fifo = 8;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--fifo") == 0)
            fifo = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--minutes") == 0)
            seconds = std::atof(argv[i + 1]) * 60.0;
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
    }
    if (seconds < 5.0)
        seconds = 5.0;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;

    std::mt19937 rng(20261208);
    // Baudot has no lower case; figures and letters mix so both shifts are used.
    const double rttyCharsPerSecond = kRttyBaud / 7.5;
    // Shift codes take line time too: the text is cut until its codes fit.
    const double codeBudget = (seconds - 3.0) * rttyCharsPerSecond;
    const std::mt19937 rttyStart = rng;
    std::string rttyText;
    for (double chars = codeBudget;;) {
        rng = rttyStart;
        rttyText = RandomLines(rng, static_cast<size_t>(chars), "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 ");
        const double codes = static_cast<double>(EncodeBaudotText(rttyText, false).size());
        if (codes <= codeBudget)
            break;
        chars *= codeBudget / codes * 0.98;
    }
    const std::string wav = dir.filePath(QStringLiteral("soak.wav")).toStdString();
    if (!MakeRecording(wav, rttyText))
        return 1;

    MemorySettingsStore store;
    store.Put(keys::RTTYPort, 1);
    store.Put(keys::RTTYBaud, 110);
    store.Put(keys::RTTYType, 5);
    store.Put(keys::TNCPort, 2);
    store.Put(keys::TNCBaud, 19200);
    store.Put(keys::InitLogo, 0);
    store.PutText(keys::kDevices, keys::DeviceKey(1), "audio:file=" + wav);


    const double rssBefore = ResidentMb().all;
    CVELTRANApp app(store);
    app.LoadFonts();
    CVELTRANDoc doc(store);
    auto frame = std::make_unique<CMainFrame>(app, doc);
    auto tncModem = std::make_shared<SimulatedModem>("plain?fifo=" + std::to_string(fifo));
    SerialLink& tncLink = app.FindView<CVELTRANView2>()->Link();
    tncLink.Connect(false);
    tncLink.SetDeviceOpener(
        [tncModem](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(tncModem); });
    frame->OnPortsConfirmed();
    frame->resize(900, 1000);
    frame->show();

    // The TNC text is made as it goes and kept in a file until the check
    // reads it back: a copy in this process would grow its memory as fast
    // as the document's text and be counted as the program's own growth.
    const std::string sentPath = dir.filePath(QStringLiteral("tnc-sent.txt")).toStdString();
    std::ofstream sentFile(sentPath, std::ios::binary);
    size_t tncSentChars = 0;
    const std::string printable = [] {
        std::string s;
        for (int c = 0x20; c < 0x7F; ++c)
            s += static_cast<char>(c);
        return s;
    }();
    auto storedMb = [&doc] {
        double stored = 0;
        for (int list = 1; list <= 3; ++list)
            stored += static_cast<double>(doc.GetList(list).StoredBytes());
        return stored / (1024.0 * 1024.0);
    };
    auto keptMb = [&doc] {
        double kept = 0;
        for (int list = 1; list <= 3; ++list)
            for (std::string_view line : doc.GetList(list))
                kept += static_cast<double>(line.size());
        return kept / (1024.0 * 1024.0);
    };
    QElapsedTimer clock;
    clock.start();
    // A minute-by-minute account on stderr: a cost that grows with the
    // document shows as a rising line here long before it moves the total.
    double lastCpu = CpuSeconds(), lastWall = 0;
    auto account = [&] {
        const double cpuNow = CpuSeconds(), wallNow = clock.elapsed() / 1000.0;
        std::fprintf(stderr, "soak: %.0f s, cpu %.2f %%, resident %.2f MB, lists' store %.2f MB, %zu TNC lines\n",
                     wallNow, 100.0 * (cpuNow - lastCpu) / (wallNow - lastWall), ResidentMb().all, storedMb(),
                     doc.GetList(CVELTRANDoc::kTncList).size());
        lastCpu = cpuNow;
        lastWall = wallNow;
    };
    Resident start;
    double cpuStart = 0, keptStart = 0, storedStart = 0, warmEnd = 0;
    QTimer::singleShot(static_cast<int>(std::min(30.0, seconds / 10.0) * 1000.0), [&] {
        // The first account comes before the window opens: the pages of the
        // C library's number formatting it touches are the benchmark's own,
        // not growth of the program.
        account();
        warmEnd = clock.elapsed() / 1000.0;
        cpuStart = CpuSeconds();
        start = ResidentMb();
        keptStart = keptMb();
        storedStart = storedMb();
    });
    QTimer feeder;
    feeder.setInterval(100);
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        const double now = clock.elapsed() / 1000.0;
        if (now >= seconds - 2.0)
            return;
        // Keep about a third of a second scheduled ahead: the line never idles.
        const double target = (now + 0.3) * kTncCharsPerSecond;
        if (static_cast<double>(tncSentChars) >= target)
            return;
        std::string more = RandomLines(rng, static_cast<size_t>(target) - tncSentChars, printable);
        tncModem->FeedAtLineSpeed(more);
        sentFile.write(more.data(), static_cast<std::streamsize>(more.size()));
        tncSentChars += more.size();
    });
    feeder.start();
    QTimer minute;
    minute.setInterval(60000);
    QObject::connect(&minute, &QTimer::timeout, account);
    minute.start();
    QTimer stop;
    stop.setSingleShot(true);
    // exit, not quit: quit closes the window, which asks about the unsaved document.
    QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    stop.start(static_cast<int>(seconds * 1000.0));
    qapp.exec();

    const double wall = clock.elapsed() / 1000.0;
    const double cpu = CpuSeconds() - cpuStart;
    const Resident end = ResidentMb();
    const double storedGrowth = storedMb() - storedStart;
    const double kept = keptMb();
    const double added = kept - keptStart;
    const LineList& tncLines = doc.GetList(CVELTRANDoc::kTncList);
    const LineList& rxLines = doc.GetList(CVELTRANDoc::kReceiveList);

    sentFile.close();
    std::ifstream sentBack(sentPath, std::ios::binary);
    const std::string tncSent((std::istreambuf_iterator<char>(sentBack)), std::istreambuf_iterator<char>());
    const std::string tncWant = WithoutLineEnds(tncSent);
    const std::string tncGot = Joined(tncLines, false);
    size_t tncWrong = 0;
    const size_t tncLost = LostCharacters(tncWant, tncGot, tncWrong);
    // The receive page starts with the program's own notice line; only
    // decoded text is matched.
    const std::string rttyWant = WithoutLineEnds(rttyText);
    const std::string rttyGot = Joined(rxLines, true);
    size_t rttyWrong = 0;
    const size_t rttyLost = LostCharacters(rttyWant, rttyGot, rttyWrong);

    if (std::getenv("VELTRAN_SOAK_DUMP"))
        std::fprintf(stderr, "rtty sent:\n%s\nrtty got:\n%s\n", rttyWant.c_str(), rttyGot.c_str());
    Print("soak_seconds", wall, "s");
    Print("soak_tnc_chars_sent", static_cast<double>(tncWant.size()), "chars");
    Print("soak_tnc_chars_received", static_cast<double>(tncGot.size()), "chars");
    Print("soak_tnc_chars_lost", static_cast<double>(tncLost), "chars");
    Print("soak_tnc_chars_wrong", static_cast<double>(tncWrong), "chars");
    Print("soak_rtty_chars_sent", static_cast<double>(rttyWant.size()), "chars");
    Print("soak_rtty_chars_received", static_cast<double>(rttyGot.size()), "chars");
    Print("soak_rtty_chars_lost", static_cast<double>(rttyLost), "chars");
    Print("soak_rtty_chars_wrong", static_cast<double>(rttyWrong), "chars");
    Print("soak_text_kept_mb", kept, "MB");
    Print("soak_rss_growth_mb", end.all - start.all, "MB");
    Print("soak_rss_growth_per_text_kept", added > 0 ? (end.all - start.all) / added : 0.0, "ratio");
    Print("soak_own_growth_mb", end.own - start.own, "MB");
    Print("soak_own_growth_per_text_kept", added > 0 ? (end.own - start.own) / added : 0.0, "ratio");
    Print("soak_store_growth_per_text_kept", added > 0 ? storedGrowth / added : 0.0, "ratio");
    Print("soak_cpu_percent", wall > warmEnd ? 100.0 * cpu / (wall - warmEnd) : 0.0, "%");
    std::fprintf(stderr, "soak: resident %.1f MB before the window, %.1f at the start, %.1f at the end\n", rssBefore,
                 start.all, end.all);
    frame.reset();
    return 0;
}
