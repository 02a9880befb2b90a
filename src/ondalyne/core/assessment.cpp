#include "ondalyne/core/assessment.h"

#include <vector>

#include "ondalyne/core/ondalyne_doc.h"

namespace ondalyne {

bool CanAssess(const COndalyneDoc& doc) {
  if (doc.kind() < 1 || doc.kind() > 3 || doc.count() == 0) return false;
  for (const std::string& unit : doc.units())
    if (kr::ClassifyUnit(unit).quantity != kr::Quantity::kVelocity) return false;
  return true;
}

DocumentAssessment AssessDocument(const COndalyneDoc& doc) {
  DocumentAssessment result;
  std::vector<double> values(doc.count());
  for (std::size_t c = 0; c < 3; ++c) {
    const double factor = kr::ClassifyUnit(doc.units()[c]).factor;
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = doc.Value(static_cast<int>(c), i) * factor;
    result.channels[c] = kr::AssessChannel(values, doc.sampling_rate(), kr::kFirstLine);
    for (int line = kr::kFirstLine; line <= kr::kLastLine; ++line) {
      const double guideline = kr::GuidelineVelocity(line, result.channels[c].frequency_hz);
      result.guideline[c][static_cast<std::size_t>(line - 1)] = guideline;
      result.ratio[c][static_cast<std::size_t>(line - 1)] = result.channels[c].peak / guideline;
    }
  }
  return result;
}

}  // namespace ondalyne
