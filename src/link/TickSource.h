#pragma once
// Millisecond tick count, 32-bit unsigned and wrapping, behind an interface so
// timers (deadman, Delay protocol) can run on a fake clock in tests.
#include <cstdint>

class TickSource {
public:
    virtual ~TickSource() = default;
    virtual uint32_t Now() const = 0;
};

// steady_clock milliseconds truncated to 32 bits. Thread-safe.
class SteadyTickSource : public TickSource {
public:
    uint32_t Now() const override;
    static SteadyTickSource& Instance();
};
