#pragma once

#include <QString>
#include <string>

#include "krcommon/string_table.h"

namespace tarvik {

// Texts of the string table as Qt wants them.
inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
inline QString Text(const kr::StringTable& strings, int id) {
  return Q(strings.Text(id));
}

// Ids of the texts of the windows (resources/strings_gui.cpp).
namespace gui_text {
inline constexpr int kDocumentStrings = 151;
inline constexpr int kUntitled = 494;
inline constexpr int kPassword = 9659;
inline constexpr int kOk = 9660;
inline constexpr int kCancel = 9661;
inline constexpr int kYes = 9662;
inline constexpr int kNo = 9663;
inline constexpr int kRetry = 9664;
inline constexpr int kConnect = 9665;
inline constexpr int kDetailsMore = 9666;
inline constexpr int kDetailsLess = 9667;
inline constexpr int kEventListTitle = 9668;
inline constexpr int kSingleEventsTitle = 9669;
inline constexpr int kTransferButton = 9670;
inline constexpr int kEventColumns = 9671;
inline constexpr int kProgramDescription = 9672;
inline constexpr int kVersion = 9673;
inline constexpr int kToolbar = 9674;
inline constexpr int kConnectDetails = 9675;
inline constexpr int kHelpMissing = 9676;
inline constexpr int kCannotOpen = 9677;
inline constexpr int kPaneDate = 32928;
inline constexpr int kPaneTime = 32929;
inline constexpr int kPaneTask = 32930;
}  // namespace gui_text

}  // namespace tarvik
