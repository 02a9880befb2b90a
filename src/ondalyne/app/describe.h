#pragma once

#include <string>

#include "ondalyne/core/ondalyne_doc.h"

namespace ondalyne {

// The document as one JSON object (the fields of `ondalyne --describe`): kind, rate, mode, firmware,
// units, factors, trigger levels, counts, statistics, the drawing range, vector-sum and frequency
// extremes when present, the messages, the date texts and, for kinds 1 to 3, the spectrum of each
// channel over the whole record without offset correction.
std::string DescribeJson(const COndalyneDoc& doc);

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& text);

}  // namespace ondalyne
