// Figures for caret expansion and tape reading:
//   expand_tape_piece      microseconds to expand one 1024-byte tape piece full of references
//   expand_cycle_worst     milliseconds for one key whose macros refer to each other in a
//                          wide cycle (the expansion budget's worst case)
//   tape_read              MB/s reading a tape in pieces of whole lines
#include "app/MacroExpander.h"
#include "app/MemorySettingsStore.h"
#include "app/WallClock.h"
#include "views/TapeReader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main()
{
    MemorySettingsStore settings;
    settings.PutText("Settings", "C", "W1AW");
    settings.PutText("Settings", "K", "DL0ABC");
    settings.PutText("Settings", "H", "599");
    settings.PutText("Settings", "E", "^K DE ^C ^H");
    int32_t serial = 0;
    MacroExpander x(settings, serial, SystemWallClock::Instance(), [] { return 5; });

    std::string piece;
    while (piece.size() < 1000)
        piece += "^E NR ^I ^T^D ";
    piece.resize(1022);
    piece += "\r\n";
    const int rounds = 2000;
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::string text = piece;
        x.ExpandReferences(text);
    }
    std::printf("expand_tape_piece %.1f us\n", Seconds(start) * 1e6 / rounds);

    std::string wide;
    for (int i = 0; i < 100; ++i)
        wide += "^A^B^C^E";
    for (const char* key : {"A", "B", "C", "E"})
        settings.PutText("Settings", key, wide);
    start = Clock::now();
    (void)x.ExpandMacro('A', true);
    std::printf("expand_cycle_worst %.1f ms\n", Seconds(start) * 1e3);

    char path[] = "/tmp/veltran_bench_tape_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return 1;
    std::string line(58, 'R');
    line += "\r\n";
    std::string block;
    for (int i = 0; i < 1000; ++i)
        block += line;
    size_t total = 0;
    for (int i = 0; i < 140; ++i)
        total += static_cast<size_t>(write(fd, block.data(), block.size()));
    close(fd);
    TapeReader reader;
    int error = 0;
    start = Clock::now();
    size_t read = 0;
    if (reader.Open(path, &error)) {
        std::string out;
        while (reader.Next(out, &error) == TapeReader::Result::kPiece)
            read += out.size();
    }
    const double s = Seconds(start);
    unlink(path);
    std::printf("tape_read %.1f MB/s\n", static_cast<double>(read) / 1e6 / s);
    return read == total ? 0 : 1;
}
