#include "modem/RttyTool.h"

#include "modem/AudioFile.h"
#include "modem/BaudotText.h"
#include "modem/ChannelSimulator.h"
#include "modem/RttyDemodulator.h"
#include "modem/RttyModulator.h"
#include "modem/RttyTextPrinter.h"
#include "modem/SignalBrowser.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <iterator>
#include <optional>

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  veltran-rtty decode [options] FILE   print the text decoded from a recording\n"
    "  veltran-rtty encode [options] OUT    write standard input as an RTTY signal\n"
    "  veltran-rtty scan [options] FILE     decode every RTTY signal in a recording at once\n"
    "                                       (300 to 2900 Hz, up to 16), each line prefixed\n"
    "                                       with its mark tone in Hz\n"
    "  veltran-rtty channel --snr DB [--fading NAME] [--offset HZ] [--seed N] IN OUT\n"
    "                                       pass a signal through a simulated HF channel\n"
    "Options for decode, encode and scan (scan takes no --mark, --rate or --no-afc):\n"
    "  --baud 45.45     speed in baud\n"
    "  --shift 170      shift in Hz (space = mark + shift; negative: space below mark)\n"
    "  --mark 2125      mark tone in Hz\n"
    "  --reverse        swap mark and space\n"
    "  --stop 1.5       stop bits: 1, 1.5 or 2\n"
    "  --bits 5         data bits: 5 (Baudot), 7 or 8 (ASCII)\n"
    "  --rate 8000      sample rate of the written file (encode)\n"
    "  --no-afc         do not follow a mistuned signal (decode)\n"
    "  --no-usos        keep the shift across a space (by default a space returns the\n"
    "                   receiver to letters, and the encoder sends FIGS again after it)\n"
    "  --usos           unshift on space (the default)\n"
    "Fading presets: good, moderate, poor, flutter, mid-quiet, mid-moderate, mid-disturbed,\n"
    "  low-quiet, low-moderate, low-disturbed, high-quiet, high-moderate, high-disturbed.\n"
    "  --help           this text\n";

std::optional<double> Number(const std::string& s)
{
    double v = 0.0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Unshift on space is what other RTTY programs do by default, and what
// senders that repeat FIGS after a space rely on.
RttyParams ToolDefaults()
{
    RttyParams p;
    p.usos = true;
    return p;
}

struct Parsed {
    RttyParams params = ToolDefaults();
    double rate = 8000.0;
    bool rateGiven = false;
    ChannelSettings channel;
    bool snrGiven = false;
    std::vector<std::string> files;
};

int Usage(std::ostream& err, const std::string& message)
{
    err << "veltran-rtty: " << message << "\nTry 'veltran-rtty --help'.\n";
    return 2;
}

// Parses options for `command`; returns 0 or the exit status of a failure.
int ParseOptions(const std::string& command, const std::vector<std::string>& args, Parsed& p, std::ostream& err)
{
    const bool modemOptions = command != "channel";
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 2 || a[0] != '-' || a == "-") {
            p.files.push_back(a);
            continue;
        }
        const auto value = [&](std::optional<double>& v) {
            if (i + 1 >= args.size())
                return false;
            v = Number(args[++i]);
            return v.has_value();
        };
        std::optional<double> v;
        const bool needsModem = a == "--baud" || a == "--shift" || a == "--mark" || a == "--reverse" ||
                                a == "--stop" || a == "--bits" || a == "--rate" || a == "--no-afc" || a == "--usos" ||
                                a == "--no-usos";
        const bool needsChannel = a == "--snr" || a == "--fading" || a == "--offset" || a == "--seed";
        if ((needsModem && !modemOptions) || (needsChannel && modemOptions) ||
            (a == "--rate" && command != "encode") || (a == "--no-afc" && command != "decode") ||
            (a == "--mark" && command == "scan"))
            return Usage(err, "option '" + a + "' does not apply to " + command);
        if (a == "--reverse")
            p.params.reverse = true;
        else if (a == "--no-afc")
            p.params.afc = false;
        else if (a == "--usos" || a == "--no-usos")
            p.params.usos = a == "--usos";
        else if (a == "--fading") {
            if (i + 1 >= args.size())
                return Usage(err, "--fading needs a preset name");
            p.channel.fading = FadingPreset(args[++i]);
            if (!p.channel.fading)
                return Usage(err, "unknown fading preset '" + args[i] + "'");
        } else if (a == "--baud" || a == "--shift" || a == "--mark" || a == "--stop" || a == "--bits" ||
                   a == "--rate" || a == "--snr" || a == "--offset" || a == "--seed") {
            if (!value(v))
                return Usage(err, "option '" + a + "' needs a number");
            if (a == "--baud")
                p.params.baud = *v;
            else if (a == "--shift")
                p.params.shiftHz = *v;
            else if (a == "--mark")
                p.params.markHz = *v;
            else if (a == "--stop") {
                if (*v != 1.0 && *v != 1.5 && *v != 2.0)
                    return Usage(err, "--stop must be 1, 1.5 or 2");
                p.params.stopBits = *v;
            } else if (a == "--bits") {
                if (*v != 5.0 && *v != 7.0 && *v != 8.0)
                    return Usage(err, "--bits must be 5, 7 or 8");
                p.params.dataBits = static_cast<int>(*v);
            } else if (a == "--rate") {
                if (*v < 8000.0 || *v > 192000.0 || *v != std::floor(*v))
                    return Usage(err, "--rate must be a whole number from 8000 to 192000");
                p.rate = *v;
                p.rateGiven = true;
            } else if (a == "--snr") {
                p.channel.snrDb = *v;
                p.snrGiven = true;
            } else if (a == "--offset") {
                if (std::fabs(*v) > 1000.0)
                    return Usage(err, "--offset must be within 1000 Hz");
                p.channel.offsetHz = *v;
            } else {
                if (*v < 0 || *v != std::floor(*v))
                    return Usage(err, "--seed must be a whole number");
                p.channel.seed = static_cast<uint64_t>(*v);
            }
        } else
            return Usage(err, "unknown option '" + a + "'");
    }
    if (modemOptions && !p.params.Valid())
        return Usage(err, "the speed, tones or framing are out of range");
    return 0;
}

// Opens the one recording `command` reads; returns 0 or the exit status of
// a failure.
int OpenRecording(const std::string& command, const Parsed& p, AudioFileReader& reader, std::ostream& err)
{
    if (p.files.size() != 1)
        return Usage(err, command + " needs exactly one FILE");
    std::string error;
    if (!reader.Open(p.files[0], error)) {
        err << "veltran-rtty: " << error << "\n";
        return 1;
    }
    return 0;
}

int Decode(const Parsed& p, std::ostream& out, std::ostream& err)
{
    AudioFileReader reader;
    if (const int rc = OpenRecording("decode", p, reader, err))
        return rc;
    RttyDemodulator demod(p.params, reader.Rate());
    RttyTextPrinter printer(p.params);
    std::vector<float> block;
    std::string text;
    for (;;) {
        block.clear();
        if (reader.Read(4096, block) == 0)
            break;
        demod.Process(block.data(), block.size());
        text.clear();
        for (const DecodedChar& ch : demod.Take())
            printer.Put(ch.code, text);
        out << text << std::flush;
    }
    return 0;
}

int Scan(const Parsed& p, std::ostream& out, std::ostream& err)
{
    AudioFileReader reader;
    if (const int rc = OpenRecording("scan", p, reader, err))
        return rc;
    SignalBrowser browser(p.params, reader.Rate());
    const auto print = [&] {
        for (const BrowsedLine& line : browser.TakeLines())
            out << std::lround(line.markHz) << ' ' << line.text << '\n';
        out.flush();
    };
    std::vector<float> block;
    for (;;) {
        block.clear();
        if (reader.Read(4096, block) == 0)
            break;
        browser.Process(block.data(), block.size());
        print();
    }
    browser.Flush();
    print();
    return 0;
}

int Encode(const Parsed& p, std::istream& in, std::ostream& err)
{
    if (p.files.size() != 1)
        return Usage(err, "encode needs exactly one OUT file");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string codes;
    if (p.params.dataBits == 5) {
        codes = EncodeBaudotText(text, p.params.usos);
    } else {
        for (char c : text) {
            if (c == '\n')
                codes += "\r\n";
            else if (c != '\r')
                codes.push_back(c);
        }
    }
    RttyModulator mod(p.params, p.rate);
    mod.QueueMark(0.5);
    for (char c : codes)
        mod.QueueCode(static_cast<uint8_t>(c));
    mod.QueueMark(0.5);
    std::vector<float> samples(mod.PendingSamples());
    mod.Render(samples.data(), samples.size());
    std::string error;
    if (!WriteAudioFile(p.files[0], samples, p.rate, false, error)) {
        err << "veltran-rtty: " << error << "\n";
        return 1;
    }
    return 0;
}

int Channel(const Parsed& p, std::ostream& err)
{
    if (!p.snrGiven)
        return Usage(err, "channel needs --snr DB");
    if (p.files.size() != 2)
        return Usage(err, "channel needs IN and OUT files");
    AudioData data;
    std::string error;
    if (!ReadAudioFile(p.files[0], data, error)) {
        err << "veltran-rtty: " << error << "\n";
        return 1;
    }
    const std::vector<float> out = ChannelSimulator::Apply(data.samples, data.rate, p.channel);
    if (!WriteAudioFile(p.files[1], out, data.rate, true, error)) {
        err << "veltran-rtty: " << error << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int RunRttyTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (args.empty())
        return Usage(err, "a command is needed: decode, encode, scan or channel");
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        }
    const std::string& command = args[0];
    if (command != "decode" && command != "encode" && command != "scan" && command != "channel")
        return Usage(err, "unknown command '" + command + "'");
    Parsed p;
    if (const int rc = ParseOptions(command, args, p, err))
        return rc;
    if (command == "decode")
        return Decode(p, out, err);
    if (command == "encode")
        return Encode(p, in, err);
    if (command == "scan")
        return Scan(p, out, err);
    return Channel(p, err);
}
