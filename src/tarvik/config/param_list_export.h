#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/protocol/hcu_info.h"
#include "tarvik/protocol/kr_params.h"

namespace tarvik {

inline constexpr const char* kParamListFileName = "ParamList.txt";
inline constexpr const char* kHcuParamListFileName = "HcuParamList.txt";

// What the recorder's export needs besides its record: values the data model keeps elsewhere.
struct RecorderExportSource {
  const KrParams& kr;
  int login_level = 0;   // LL, read at log-in
  std::string password;  // LP lands in the link record, not in the data model
  std::string program_version;
};

struct HcuExportSource {
  const HcuInfo& hcu;
  std::string program_version;
};

// The lines of "ParamList.txt", each ending in CR LF, in the table's current language. Lines whose
// read command the recorder's type lacks are left out; the alerting, GPS, CAV and SBR blocks become
// one "disabled" line each when their option bit is clear.
std::string BuildRecorderParamList(const RecorderExportSource& source, const kr::StringTable& strings);

// The lines of "HcuParamList.txt".
std::string BuildHcuParamList(const HcuExportSource& source, const kr::StringTable& strings);

// Creates (replaces) `file` and writes `text` as UTF-16LE with one byte-order mark. False when the
// file could not be created or written; nothing is left half-written under that name then.
bool WriteParamList(const std::filesystem::path& file, const std::string& text);

// The read commands the exports need, in the order they are read (the recorder's between Na and
// Na0; the builder skips the ones a recorder type lacks).
std::vector<int> RecorderExportReadList();
std::vector<int> HcuExportReadList();

}  // namespace tarvik
