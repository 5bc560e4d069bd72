// libFuzzer entry for the RTTY demodulator fed arbitrary audio. The first
// bytes choose a valid modem setting (speed, tones, shift, data and stop
// bits, reverse, AFC) and the capture rate; the rest is audio, either 16-bit
// samples or raw 32-bit floats (so also NaN, infinities and huge values, as a
// broken capture device or sound file may deliver), handed over in blocks of
// varying length. Holds: no crash or undefined behaviour, every character
// decoded fits its data bits with a confidence in 0..1, and positions only
// grow.
#include "FuzzInput.h"
#include "modem/RttyDemodulator.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    static const double kRates[] = {8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 96000.0, 4000.0};
    static const double kBauds[] = {45.45, 50.0, 56.88, 74.2, 75.0, 100.0, 110.0, 150.0, 300.0, 10.0};
    static const double kShifts[] = {170.0, 200.0, 425.0, 850.0, -170.0, 20.0, 1000.0};
    static const int kDataBits[] = {5, 7, 8};
    static const double kStopBits[] = {1.0, 1.5, 2.0};

    RttyParams params;
    params.baud = kBauds[in.Choice(std::size(kBauds))];
    params.shiftHz = kShifts[in.Choice(std::size(kShifts))];
    params.markHz = 300.0 + 12.0 * in.Byte();
    params.dataBits = kDataBits[in.Choice(std::size(kDataBits))];
    params.stopBits = kStopBits[in.Choice(std::size(kStopBits))];
    const uint8_t flags = in.Byte();
    params.reverse = flags & 1;
    params.afc = flags & 2;
    params.usos = flags & 4;
    const bool rawFloats = flags & 8;
    if (!params.Valid())
        return 0;
    const double rate = kRates[in.Choice(std::size(kRates))];

    RttyDemodulator demod(params, rate);
    std::vector<float> block;
    uint64_t lastPosition = 0;
    while (!in.Empty()) {
        const size_t count = 1 + in.Byte() * 4u;
        block.clear();
        for (size_t i = 0; i < count && !in.Empty(); ++i) {
            if (rawFloats) {
                const std::string_view bytes = in.Take(4);
                uint32_t bits = 0;
                std::memcpy(&bits, bytes.data(), bytes.size());
                float x = 0;
                std::memcpy(&x, &bits, sizeof x);
                block.push_back(x);
            } else {
                const int16_t s = static_cast<int16_t>(in.Byte() | (in.Byte() << 8));
                block.push_back(s / 32768.0f);
            }
        }
        demod.Process(block.data(), block.size());
        for (const DecodedChar& c : demod.Take()) {
            if (c.code >> params.dataBits || !(c.confidence >= 0.0f && c.confidence <= 1.0f))
                std::abort();
        }
        if (demod.Position() < lastPosition)
            std::abort();
        lastPosition = demod.Position();
    }
    return 0;
}
