#pragma once

#include <string>

namespace tarvik {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel };
enum class MessageAnswer { kOk, kCancel, kYes, kNo, kRetry };

// Everything the engine and the models need from a person goes through this interface: the Qt GUI,
// the console of tarvik-cli and the test fakes implement it. A call returns the person's answer;
// a modal dialog is simply a call that blocks until it is answered.
class UiPort {
 public:
  virtual ~UiPort() = default;

  // A message box. `string_id` names the string-table entry the text was formatted from (0 for a
  // text that has no entry), so that fakes and scripts can tell messages apart without parsing text.
  virtual MessageAnswer ShowMessage(int string_id, const std::string& text, MessageIcon icon,
                                    MessageButtons buttons) = 0;
};

}  // namespace tarvik
