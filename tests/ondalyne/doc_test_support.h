#pragma once

#include <string>

#include "../support/event_file_builder.h"
#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace ondalyne_test {

inline ondalyne::COndalyneDoc LoadDoc(const kr_test::EventFileBuilder& file, const std::string& name,
                                      bool us_date = false) {
  static const kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
  ondalyne::COndalyneDoc doc;
  ondalyne::LoadOptions options;
  options.us_date = us_date;
  options.current_year = 2026;
  doc.LoadBytes(file.bytes(), name, strings, options);
  return doc;
}

// A CKR4100 S-layout header (vkr/vmx) with LSB 0.001 and mm/s units.
inline kr_test::EventFileBuilder CkrHeader(std::uint32_t count) {
  auto b = kr_test::EventFileBuilder::SkrHeader(count, "CKR4100");
  b.Text(112, " mm/s").Text(117, " mm/s").Text(122, " mm/s");
  return b;
}

}  // namespace ondalyne_test
