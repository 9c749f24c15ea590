#include "effects/Fft.h"

#include <cmath>
#include <utility>

void FftInPlace(std::complex<float>* data, int size, bool inverse)
{
    for (int i = 1, j = 0; i < size; ++i) {
        int bit = size >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (int len = 2; len <= size; len <<= 1) {
        // Twiddles in double so that 4096-point transforms stay accurate.
        const double angle = (inverse ? 2.0 : -2.0) * M_PI / len;
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (int start = 0; start < size; start += len) {
            std::complex<double> w(1.0, 0.0);
            for (int k = 0; k < len / 2; ++k) {
                const std::complex<float> wf(static_cast<float>(w.real()), static_cast<float>(w.imag()));
                const std::complex<float> u = data[start + k];
                const std::complex<float> v = data[start + k + len / 2] * wf;
                data[start + k] = u + v;
                data[start + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
    if (inverse) {
        const float scale = 1.0f / static_cast<float>(size);
        for (int i = 0; i < size; ++i)
            data[i] *= scale;
    }
}
