#pragma once
// The transmit half of a sound-card port device: written codes (unshift on
// space applied) go to the modulator, whose output plays in real time to a
// silent sink (live audio comes with the sound-card settings); "drained" is
// due when the last of their samples has been played. The count of writes
// is kept for PortEvents::drainedWrites.
//
// Not thread-safe: the owning device calls it under its own lock.
#include "modem/RttyModulator.h"
#include "modem/RttyParams.h"
#include "modem/UnshiftOnSpace.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

class AudioTransmitter {
public:
    using Clock = std::chrono::steady_clock;

    // Starts afresh for a port opened with `params`.
    void Reset(const RttyParams& params, Clock::time_point now);
    // Counts one write; modulates and plays the codes. False when closed.
    bool Write(const uint8_t* data, size_t len, Clock::time_point now);
    // Drops what is still to be played.
    void Clear(Clock::time_point now);
    void Close() { m_modulator.reset(); }

    // When the pending drain falls due (time_point::max() when none is).
    Clock::time_point DrainDue() const;
    // Takes the drain if it is due at `now`; `writes` gets the count it covers.
    bool TakeDrain(Clock::time_point now, uint64_t& writes);

private:
    RttyParams m_params;
    UnshiftOnSpace m_usos;
    std::unique_ptr<RttyModulator> m_modulator;
    Clock::time_point m_playedUntil{};   // the last written sample is played then
    bool m_bDrainPending = false;
    uint64_t m_nWrites = 0;
};
