#include "ondalyne/app/describe.h"

#include <cmath>
#include <cstdio>

#include "krcommon/string_table.h"
#include "ondalyne/core/frequency_analysis.h"
#include "ondalyne/core/view_state.h"

namespace ondalyne {

namespace {

std::string Number(double value) {
  if (!std::isfinite(value)) return "null";
  return kr::FormatPrintf("%.17g", value);
}

template <typename T, typename Format>
std::string Array(const T& values, Format format) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ", ";
    out += format(values[i]);
  }
  return out + "]";
}

std::string Numbers(const std::array<double, 3>& values) {
  return Array(values, [](double v) { return Number(v); });
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          out += kr::FormatPrintf("\\u%04x", c);
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string DescribeJson(const COndalyneDoc& doc) {
  std::string out = "{\n";
  auto field = [&](const char* name, const std::string& value) {
    if (out.size() > 2) out += ",\n";
    out += "  \"";
    out += name;
    out += "\": ";
    out += value;
  };
  field("kind", std::to_string(doc.kind()));
  field("sampling_rate", Number(doc.sampling_rate()));
  field("recording_mode", std::to_string(doc.recording_mode()));
  field("firmware", std::to_string(doc.firmware()));
  field("units", Array(doc.units(), [](const std::string& u) { return JsonString(u); }));
  field("scale_factors", Numbers(doc.scale_factors()));
  field("trigger_levels", Numbers(doc.trigger_levels()));
  field("expected", std::to_string(doc.expected()));
  field("count", std::to_string(doc.count()));
  field("min", Numbers(doc.minimum()));
  field("max", Numbers(doc.maximum()));
  field("mean", Numbers(doc.mean()));
  field("rms", Numbers(doc.rms()));
  field("axis_min", Number(doc.overall_min()));
  field("axis_max", Number(doc.overall_max()));
  if (doc.HasVectorSum()) {
    field("vector_sum_min", Number(doc.vector_sum_min()));
    field("vector_sum_max", Number(doc.vector_sum_max()));
  }
  if (doc.HasFrequencies()) {
    field("frequency_min", Number(doc.frequency_min()));
    field("frequency_max", Number(doc.frequency_max()));
  }
  field("messages", Array(doc.messages(), [](const DocMessage& m) {
          return "{\"id\": " + std::to_string(m.id) + ", \"text\": " + JsonString(m.text) + "}";
        }));
  field("trigger_text", JsonString(doc.trigger_text()));
  field("start_text", JsonString(doc.start_text()));
  field("power_loss_text", JsonString(doc.power_loss_text()));
  field("time_mark_text", JsonString(doc.time_mark_text()));
  if (PageAvailable(doc, kModeFrequency)) {
    std::array<std::string, 3> spectra;
    for (int c = 0; c < 3; ++c) {
      Spectrum s = ComputeSpectrum(doc.count(), doc.sampling_rate(), 0.0,
                                   [&](std::size_t k) { return doc.Value(c, k); });
      spectra[static_cast<std::size_t>(c)] = "{\"peak_frequency\": " + Number(s.peak_frequency) +
                                             ", \"peak_amplitude\": " + Number(s.peak_amplitude) +
                                             ", \"lines\": " + std::to_string(s.lines.size()) +
                                             ", \"delta_f\": " + Number(s.delta_f) + "}";
    }
    field("spectrum", Array(spectra, [](const std::string& s) { return s; }));
  }
  return out + "\n}\n";
}

}  // namespace ondalyne
