#pragma once

#include <array>

#include "krcommon/vibration_assessment.h"

namespace ondalyne {

class COndalyneDoc;

// The vibration assessment of a waveform file as the viewer shows it: every channel of the whole
// record, in mm/s, against the three lines of the guideline (the same arithmetic as krtool assess).
struct DocumentAssessment {
  // Per channel X, Y, Z; each line's guideline value and ratio at the channel's frequency.
  std::array<kr::ChannelAssessment, 3> channels;
  std::array<std::array<double, 3>, 3> guideline{};  // [channel][line - 1]
  std::array<std::array<double, 3>, 3> ratio{};
};

// Waveform files (kinds 1 to 3) whose three channels are velocities.
bool CanAssess(const COndalyneDoc& doc);
DocumentAssessment AssessDocument(const COndalyneDoc& doc);

}  // namespace ondalyne
