#pragma once

#include <deque>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// The person of tarvik-cli: message boxes go to the error stream, questions are answered from what
// the command line said, event lists are printed on the output stream.
class ConsoleUi : public UiPort {
 public:
  ConsoleUi(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  MessageAnswer ShowMessage(int string_id, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  std::optional<std::string> AskPassword(const std::string& title, const std::string& prefill) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                    const std::filesystem::path& start) override;
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string& title,
                                                      const std::filesystem::path& directory,
                                                      const std::string& initial_name,
                                                      const std::string& filter) override;
  void OpenProgress(const std::string& text, int total, int position) override;
  void UpdateProgress(const std::string& text, int position) override;
  void SetStatusText(const std::string& text) override;
  void ShowEventList(int recorder, const std::vector<EventListRow>& rows) override;
  // Asked on the terminal when standard input is one; cancelled otherwise.
  std::optional<std::string> AskMacroScriptQuestion(const std::string& label) override;
  // The change-password dialog: the old password is the one of the log-in, the new one is typed twice
  // as the command line gave it. Cancelled when the command line gave none.
  std::optional<PasswordChange> AskNewPassword(const std::string& title, const std::string& current) override;
  // The memory-management dialog: what the command line asked for, the rest as the recorder has it.
  std::optional<MemoryManagement> AskMemoryManagement(const std::string& title,
                                                      const MemoryManagement& current) override;
  void SetWindowTitle(const std::string& title) override { title_ = title; }
  std::string WindowTitle() override { return title_; }

  // Answers of the run. Each password is used for one prompt; an empty queue cancels the prompt
  // (the default of the settings is then not guessed: the command line decides).
  void AddPassword(std::string password) { passwords_.push_back(std::move(password)); }
  // The answers of the change-password dialog: the log-in password and the new one.
  void SetPasswordChange(std::string old_password, std::string new_password) {
    old_password_ = std::move(old_password);
    new_password_ = std::move(new_password);
  }
  // The answer of the memory-management dialog; a part without a value stays as it is.
  void SetMemoryManagement(std::optional<bool> ring, std::optional<bool> mirror) {
    ring_ = ring;
    mirror_ = mirror;
  }
  // The root name for the next transfer of all events (empty: the dialog's initial dashes).
  void SetRootName(std::string root) { root_ = std::move(root); }
  // Where macro questions are answered: a terminal's input, or nothing (every question cancelled).
  void SetQuestionInput(std::istream* input) { question_input_ = input; }
  // Progress and status lines on the error stream.
  void SetVerbose(bool on) { verbose_ = on; }
  // What an operation's result prints (a page's values, a file written) goes to standard output.
  std::ostream& out() { return out_; }

  const std::vector<int>& message_ids() const { return message_ids_; }
  int password_prompts() const { return password_prompts_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::deque<std::string> passwords_;
  std::string root_;
  std::optional<std::string> old_password_;
  std::optional<std::string> new_password_;
  std::optional<bool> ring_;
  std::optional<bool> mirror_;
  std::string title_ = "tarvik-cli";
  std::string last_progress_;
  std::string last_status_;
  bool verbose_ = false;
  std::istream* question_input_ = nullptr;
  std::vector<int> message_ids_;
  int password_prompts_ = 0;
};

// One row of the event list as tarvik-cli prints it: number, type, date, time, three peaks, samples.
std::string FormatEventRow(const EventListRow& row);

}  // namespace tarvik
