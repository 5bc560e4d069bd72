#pragma once
// In-place radix-2 complex FFT for the modem's spectrum estimates.
#include <complex>
#include <vector>

// `data.size()` must be a power of two. Forward transform, no scaling.
void FftInPlace(std::vector<std::complex<float>>& data);
