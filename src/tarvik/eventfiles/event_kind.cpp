#include "tarvik/eventfiles/event_kind.h"

#include <cctype>
#include <string>

#include "krcommon/text_util.h"

namespace tarvik {

int EventKindFromHeader(const kr::HeaderBytes& header) {
  std::uint8_t model = header[64];
  if (model == 'X') {
    std::uint8_t mode = header[4];
    return mode == 0 || mode == 5 ? kKindXkr : kKindBkr;
  }
  if (model == 'C') {
    std::uint8_t mode = header[250];
    if (mode == 0 || mode == 5) return kKindVkr;
    if (mode <= 7) return kKindVmx;
  }
  return kKindSkr;
}

std::string_view KindExtension(int kind) {
  switch (kind) {
    case kKindSkr:
      return "skr";
    case kKindVkr:
      return "vkr";
    case kKindXkr:
      return "xkr";
    case kKindVmx:
      return "vmx";
    case kKindBkr:
      return "bkr";
    default:
      return "unknown";
  }
}

int ExportExtensionCode(const std::filesystem::path& path) {
  std::string name = path.filename().string();
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return 0;
  const std::string head = kr::ToUpperAscii(std::string_view(name).substr(dot + 1, 3));
  static constexpr std::pair<std::string_view, int> kCodes[] = {{"SKR", 1}, {"16", 6},  {"24", 7}, {"VMX", 4},
                                                                {"VKR", 2}, {"XKR", 3}, {"BKR", 5}};
  for (const auto& [text, code] : kCodes) {
    if (head == text) return code;
  }
  return 0;
}

}  // namespace tarvik
