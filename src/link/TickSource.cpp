#include "link/TickSource.h"

#include <chrono>

uint32_t SteadyTickSource::Now() const
{
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

SteadyTickSource& SteadyTickSource::Instance()
{
    static SteadyTickSource source;
    return source;
}
