#pragma once
// In-place iterative radix-2 complex FFT, shared by the frequency-domain
// effects. `size` must be a power of two.
#include <complex>

// Forward kernel e^(-2πi/len) per stage; the inverse uses e^(+2πi/len) and
// divides every element by `size`.
void FftInPlace(std::complex<float>* data, int size, bool inverse);
