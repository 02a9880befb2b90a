#pragma once

#include <complex>
#include <cstddef>
#include <functional>
#include <vector>

namespace ondalyne {

// In-place radix-2 complex FFT of `data.size()` points (a power of two, at least 2): bit-reversal
// reordering, then Danielson-Lanczos butterflies with the twiddle factor advanced by the
// trigonometric recurrence. Forward transform, no scaling: X[k] = sum x[n] e^(-2 pi i k n / N).
void Radix2Fft(std::vector<std::complex<double>>& data);

struct SpectrumLine {
  double frequency = 0;  // hertz
  double amplitude = 0;
};

struct Spectrum {
  std::size_t n = 0;                // samples in the window
  std::size_t points = 0;           // N, the power of two transformed
  double delta_f = 0;               // rate / N
  std::vector<SpectrumLine> lines;  // M = N / 2 lines; line j at (j - 1) * delta_f for j = 1..M
  double peak_amplitude = 0;
  double peak_frequency = 0;
};

// The amplitude spectrum of n samples: each value (minus `offset`) times the Hann window
// 1/2 (1 - cos(2 pi k / n)), zero-padded to N = the smallest power of two >= n (at least 2), and
// the magnitude of each of the first N/2 bins divided by N/2. `value(k)` gives sample k of the window.
// Throws std::bad_alloc when the points do not fit in memory.
Spectrum ComputeSpectrum(std::size_t n, double rate, double offset,
                         const std::function<double(std::size_t)>& value);

// The smallest power of two that is at least n, and at least 2.
std::size_t SpectrumPoints(std::size_t n);

}  // namespace ondalyne
