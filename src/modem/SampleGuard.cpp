#include "modem/SampleGuard.h"

#include <algorithm>
#include <cmath>

SampleGuard::SampleGuard(double rate) : m_weight(1.0 / std::max(1.0, 0.02 * rate)) {}

float SampleGuard::Clean(float x)
{
    double v = std::isfinite(x) ? x : 0.0;
    const double limit = std::max(kFloor * kFloor, kCrest * kCrest * m_meanSquare);
    if (v * v > limit)
        v = std::copysign(std::sqrt(limit), v);
    m_meanSquare += m_weight * (v * v - m_meanSquare);
    return static_cast<float>(v);
}

void SampleGuard::Clean(const float* in, float* out, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        out[i] = Clean(in[i]);
}
