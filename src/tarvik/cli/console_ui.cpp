#include "tarvik/cli/console_ui.h"

#include "krcommon/string_table.h"

namespace tarvik {

MessageAnswer ConsoleUi::ShowMessage(int string_id, const std::string& text, MessageIcon,
                                     MessageButtons buttons) {
  message_ids_.push_back(string_id);
  err_ << text << '\n';
  // Nobody can answer: a question goes on with what the command line asked for.
  MessageAnswer answer = MessageAnswer::kOk;
  switch (buttons) {
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoCancel:
      answer = MessageAnswer::kYes;
      err_ << "-> Yes\n";
      break;
    case MessageButtons::kRetryCancel:
    case MessageButtons::kOkCancel:
      answer = MessageAnswer::kCancel;
      err_ << "-> Cancel\n";
      break;
    case MessageButtons::kOk:
      break;
  }
  err_.flush();
  return answer;
}

std::optional<std::string> ConsoleUi::AskPassword(const std::string& title, const std::string& prefill) {
  (void)prefill;
  ++password_prompts_;
  if (passwords_.empty()) {
    err_ << title << ": no password given (--password or TARVIK_PASSWORD)\n";
    return std::nullopt;
  }
  std::string password = passwords_.front();
  passwords_.pop_front();
  return password;
}

std::optional<PasswordChange> ConsoleUi::AskNewPassword(const std::string& title, const std::string&) {
  if (!new_password_) {
    err_ << title << ": no new password given\n";
    return std::nullopt;
  }
  return PasswordChange{old_password_.value_or(std::string()), *new_password_, *new_password_};
}

std::optional<MemoryManagement> ConsoleUi::AskMemoryManagement(const std::string&,
                                                               const MemoryManagement& current) {
  MemoryManagement choice = current;
  if (ring_) choice.ring = *ring_;
  if (mirror_) choice.mirror = *mirror_;
  return choice;
}

std::optional<std::filesystem::path> ConsoleUi::ChooseFolder(const std::string&,
                                                             const std::filesystem::path& start) {
  return start;
}

std::optional<std::filesystem::path> ConsoleUi::ChooseSaveFile(const std::string&,
                                                               const std::filesystem::path& directory,
                                                               const std::string& initial_name,
                                                               const std::string&) {
  return directory / (root_.empty() ? initial_name : root_);
}

void ConsoleUi::OpenProgress(const std::string& text, int, int) {
  last_progress_.clear();
  UpdateProgress(text, 0);
}

void ConsoleUi::UpdateProgress(const std::string& text, int) {
  if (!verbose_ || text == last_progress_) return;
  last_progress_ = text;
  err_ << text << '\n';
}

void ConsoleUi::SetStatusText(const std::string& text) {
  if (verbose_ && text != last_status_) {
    last_status_ = text;
    err_ << text << '\n';
  }
}

void ConsoleUi::ShowEventList(int recorder, const std::vector<EventListRow>& rows) {
  out_ << "KR " << recorder << ": " << rows.size() << " event(s)\n";
  for (const EventListRow& row : rows) out_ << FormatEventRow(row) << '\n';
  out_.flush();
}

std::optional<std::string> ConsoleUi::AskMacroScriptQuestion(const std::string& label) {
  err_ << label << ' ';
  err_.flush();
  std::string answer;
  if (question_input_ == nullptr || !std::getline(*question_input_, answer)) {
    err_ << "-> Cancel\n";
    return std::nullopt;
  }
  return answer;
}

std::string FormatEventRow(const EventListRow& row) {
  const char type = row.type_letter >= 32 && row.type_letter < 127 ? row.type_letter : '?';
  return kr::FormatPrintf("%3d  %c  %-8s %-11s  %12.4f %12.4f %12.4f  %8lu", row.number, type,
                          row.date.c_str(), row.time.c_str(), row.peaks[0], row.peaks[1], row.peaks[2],
                          row.samples);
}

}  // namespace tarvik
