#include "ondalyne/core/frequency_analysis.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace ondalyne {

std::size_t SpectrumPoints(std::size_t n) {
  std::size_t points = 2;
  while (points < n) points *= 2;
  return points;
}

void Radix2Fft(std::vector<std::complex<double>>& data) {
  const std::size_t n = data.size();
  if (n < 2) return;
  // Bit-reversal reordering.
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(data[i], data[j]);
  }
  // Butterflies; w advances by the recurrence w <- w + w (wpr + i wpi), which keeps the rounding
  // error of the twiddle factors small without a sine per butterfly group.
  for (std::size_t length = 2; length <= n; length <<= 1) {
    const double theta = -2.0 * std::numbers::pi / static_cast<double>(length);
    const double half_sin = std::sin(0.5 * theta);
    const double wpr = -2.0 * half_sin * half_sin;
    const double wpi = std::sin(theta);
    double wr = 1.0, wi = 0.0;
    const std::size_t half = length / 2;
    for (std::size_t m = 0; m < half; ++m) {
      for (std::size_t i = m; i < n; i += length) {
        const std::size_t j = i + half;
        const double tr = wr * data[j].real() - wi * data[j].imag();
        const double ti = wr * data[j].imag() + wi * data[j].real();
        data[j] = {data[i].real() - tr, data[i].imag() - ti};
        data[i] = {data[i].real() + tr, data[i].imag() + ti};
      }
      const double wtemp = wr;
      wr = wr * wpr - wi * wpi + wr;
      wi = wi * wpr + wtemp * wpi + wi;
    }
  }
}

Spectrum ComputeSpectrum(std::size_t n, double rate, double offset,
                         const std::function<double(std::size_t)>& value) {
  Spectrum s;
  s.n = n;
  s.points = SpectrumPoints(n);
  std::vector<std::complex<double>> data(s.points);
  for (std::size_t k = 0; k < n; ++k) {
    const double window =
        0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n)));
    data[k] = {(value(k) - offset) * window, 0.0};
  }
  Radix2Fft(data);
  const std::size_t lines = s.points / 2;
  s.delta_f = rate / static_cast<double>(s.points);
  s.lines.resize(lines);
  for (std::size_t j = 0; j < lines; ++j) {
    SpectrumLine& line = s.lines[j];
    line.frequency = static_cast<double>(j) * s.delta_f;
    line.amplitude = std::abs(data[j]) / static_cast<double>(lines);
    if (j == 0 || line.amplitude > s.peak_amplitude) {
      s.peak_amplitude = line.amplitude;
      s.peak_frequency = line.frequency;
    }
  }
  return s;
}

}  // namespace ondalyne
