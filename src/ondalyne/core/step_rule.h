#pragma once

#include <string>
#include <vector>

namespace ondalyne {

// A rounded axis step: the smallest of 0.0001, 0.0002, 0.0005, 0.001, ... (1, 2, 5 times a power
// of ten) that is not below the target, its minor step (a fifth of a 1 or 5 step, a quarter of a 2
// step), and the label format that shows the step's decade.
struct AxisStep {
  double major = 0.0001;
  double minor = 0.00002;
  int decade_exponent = -4;  // the step is 1, 2 or 5 times 10^decade_exponent
  const char* format = "%.4lf";
};

AxisStep StepRule(double target);

// The label format of a decade: "%.4lf" below 0.001 ... "%.0lf" from 1 on.
const char* DecadeFormat(int decade_exponent);

// One tick of a value axis.
struct ValueTick {
  double value = 0;
  bool major = false;
  std::string label;  // major ticks only; magnitudes below 0.00001 read "0"
};

// The ticks of a value axis from lower to upper: major ticks at every multiple of the major step in
// the range (labelled), minor ticks at the multiples of the minor step that are not major.
std::vector<ValueTick> ValueTicks(double lower, double upper, const AxisStep& step);

}  // namespace ondalyne
