#include "ondalyne/core/step_rule.h"

#include <cmath>

#include "krcommon/string_table.h"

namespace ondalyne {

const char* DecadeFormat(int e) {
  if (e <= -4) return "%.4lf";
  if (e == -3) return "%.3lf";
  if (e == -2) return "%.2lf";
  if (e == -1) return "%.1lf";
  return "%.0lf";
}

AxisStep StepRule(double target) {
  AxisStep step;
  if (!(target > 0.0001)) return step;  // also NaN
  static constexpr int kMantissas[3] = {1, 2, 5};
  for (int e = -4; e < 308; ++e) {
    const double decade = std::pow(10.0, e);
    for (int m : kMantissas) {
      const double candidate = m * decade;
      // A relative allowance keeps 0.3 / 10 * 10 from missing the step 0.3 by one rounding.
      if (candidate >= target * (1.0 - 1e-12)) {
        step.major = candidate;
        step.minor = candidate / (m == 2 ? 4.0 : 5.0);
        step.decade_exponent = e;
        step.format = DecadeFormat(e);
        return step;
      }
    }
  }
  return step;
}

std::vector<ValueTick> ValueTicks(double lower, double upper, const AxisStep& step) {
  std::vector<ValueTick> ticks;
  if (!(upper >= lower) || !(step.minor > 0) || !std::isfinite(lower) || !std::isfinite(upper)) return ticks;
  const double first = std::ceil(lower / step.minor - 1e-9);
  const double last = std::floor(upper / step.minor + 1e-9);
  if (last - first > 10000) return ticks;  // a range far wider than its step: no sensible axis
  const int per_major = step.minor * 4.5 < step.major ? 5 : 4;
  for (double k = first; k <= last; k += 1) {
    ValueTick tick;
    tick.value = k * step.minor;
    long long index = std::llround(k);
    tick.major = index % per_major == 0;
    if (tick.major) {
      tick.label = std::fabs(tick.value) < 0.00001 ? "0" : kr::FormatPrintfRuntime(step.format, tick.value);
    }
    ticks.push_back(tick);
  }
  return ticks;
}

}  // namespace ondalyne
