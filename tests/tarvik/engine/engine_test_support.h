#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "tarvik/engine/engine_link.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik::testing {

// A person who answers from a script and remembers everything shown.
class RecordingUi : public UiPort {
 public:
  struct Message {
    int id;
    std::string text;
  };

  MessageAnswer ShowMessage(int string_id, const std::string& text, MessageIcon, MessageButtons) override {
    messages.push_back({string_id, text});
    return message_answer;
  }
  std::optional<std::string> AskPassword(const std::string& title, const std::string& prefill) override {
    password_prompts.push_back({title, prefill});
    if (password_answers.empty()) return std::nullopt;
    std::optional<std::string> answer = password_answers.front();
    password_answers.erase(password_answers.begin());
    return answer;
  }
  std::optional<std::filesystem::path> ChooseFolder(const std::string&,
                                                    const std::filesystem::path&) override {
    return folder_answer;
  }
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string& title, const std::filesystem::path&,
                                                      const std::string& initial,
                                                      const std::string& filter) override {
    save_dialogs.push_back({title, initial, filter});
    return save_answer;
  }
  void OpenProgress(const std::string& text, int total, int position) override {
    progress_open = true;
    progress_texts.push_back(text);
    progress_total = total;
    progress_position = position;
    progress_positions.push_back(position);
  }
  void UpdateProgress(const std::string& text, int position) override {
    progress_texts.push_back(text);
    progress_position = position;
    progress_positions.push_back(position);
  }
  void CloseProgress() override { progress_open = false; }
  void ShowStartWindow() override { start_window_open = true; }
  void CloseStartWindow() override { start_window_open = false; }
  void ShowConnectWindow() override { connect_window_open = true; }
  void CloseConnectWindow() override { connect_window_open = false; }
  void SetMenuSet(MenuSet menu) override { this->menu = menu; }
  void SetWindowTitle(const std::string& title) override { window_title = title; }
  std::string WindowTitle() override { return window_title; }
  void ShowEventList(int recorder, const std::vector<EventListRow>& rows) override {
    shown_list_recorder = recorder;
    shown_rows = rows;
  }

  std::optional<std::string> AskMacroScriptQuestion(const std::string& label) override {
    questions.push_back(label);
    if (question_answers.empty()) return std::nullopt;
    std::optional<std::string> answer = question_answers.front();
    question_answers.erase(question_answers.begin());
    return answer;
  }

  std::vector<int> MessageIds() const {
    std::vector<int> ids;
    for (const Message& m : messages) ids.push_back(m.id);
    return ids;
  }

  struct Prompt {
    std::string title;
    std::string prefill;
  };
  struct SaveDialog {
    std::string title;
    std::string initial;
    std::string filter;
  };

  MessageAnswer message_answer = MessageAnswer::kYes;
  std::vector<Message> messages;
  std::vector<Prompt> password_prompts;
  std::vector<std::string> questions;                        // macro questions asked, with ":"
  std::vector<std::optional<std::string>> question_answers;  // nothing: Cancel
  std::vector<std::optional<std::string>> password_answers;
  std::optional<std::filesystem::path> folder_answer;
  std::optional<std::filesystem::path> save_answer;
  std::vector<SaveDialog> save_dialogs;
  bool progress_open = false;
  std::vector<std::string> progress_texts;
  int progress_total = 0;
  int progress_position = 0;
  std::vector<int> progress_positions;
  bool start_window_open = false;
  bool connect_window_open = false;
  MenuSet menu = MenuSet::kNotLoggedIn;
  std::string window_title = "Tarvik";
  int shown_list_recorder = 0;
  std::vector<EventListRow> shown_rows;
};

// A link whose unit answers from a script. A command goes out when the engine issues it; its answer
// arrives when the test calls Deliver() (between two ticks, as a reply would), and is the link state
// the responder returns for it (LinkAwaitingReply: no answer yet). Like the real builder it sends
// nothing while a reply is outstanding, skips Na and Na0 without a control unit, and accepts the NOP
// only when no reply is outstanding.
class ScriptedLink : public EngineLink {
 public:
  using Responder = std::function<int(int command)>;

  explicit ScriptedLink(ProtocolContext& context) : context_(context) {}

  int Issue(int command) override {
    CheckUnlocked();
    ++issue_calls;
    if (state_ == LinkAwaitingReply || state_ == LinkBlockTransfer || state_ == LinkUnitBusy ||
        state_ == LinkOffline || state_ == LinkRefused || state_ == LinkAbandoned)
      return 0;
    if (command == cmd::kNop) return state_ == LinkModemNotReady ? 0 : 1;
    if ((command == cmd::kNa || command == cmd::kNa0) && !context_.control_unit_present) return 1;
    if (state_ == LinkRetry && not_now.count(command) != 0) return 0;  // e.g. a clock outside its window
    if ((!connected_ || fail_writes) && channel_) {
      ++write_failures_;
      state_ = LinkCommError;
      return 0;
    }
    sent.push_back(command);
    if (command == cmd::kModemString) modem_texts.push_back(modem_text_);
    if (command == cmd::kFreeForm) raw_commands.push_back(raw_command_);
    current_ = command;
    state_ = LinkAwaitingReply;
    return 1;
  }
  // The unit answers the outstanding command.
  void Deliver() {
    if (state_ != LinkAwaitingReply || current_ < 0) return;
    state_ = responder ? static_cast<LinkState>(responder(current_)) : LinkReady;
  }
  LinkState State() const override {
    CheckUnlocked();
    return channel_ ? state_ : kNoChannelState;
  }
  void SetState(LinkState state) override {
    CheckUnlocked();
    state_ = state;
    if (state == LinkReady) item_cursor = 0;
  }
  int ItemCursor() const override {
    CheckUnlocked();
    return item_cursor;
  }
  int FileNumber() const override { return file_number; }
  int BlockCount() const override { return block_count; }
  int TargetRecorder() const override { return target_; }
  void SetTargetRecorder(int recorder) override { target_ = recorder; }
  std::string LastEventFileName() const override { return last_event_file_name; }
  std::string EventFileName(int file_number) const override {
    return download_prefix + std::to_string(file_number) + ".vkr";
  }
  bool HasChannel() const override { return channel_; }
  bool Connected() const override { return channel_ && connected_; }
  unsigned WriteFailures() const override { return write_failures_; }
  bool Create(int com_port, int baud, int ip_port, const std::string& host) override {
    CheckUnlocked();
    created.push_back({com_port, baud, ip_port, host});
    channel_ = create_ok;
    connected_ = false;
    state_ = LinkReady;
    return create_ok;
  }
  bool OpenSerial() override {
    CheckUnlocked();
    connected_ = open_ok;
    return open_ok;
  }
  bool ConnectTcp() override { return open_ok; }
  void Close() override {
    CheckUnlocked();
    ++closes;
    connected_ = false;
  }
  void SetPassword(std::string_view password) override {
    CheckUnlocked();
    password_ = std::string(password);
  }
  std::string Password() const override { return password_; }
  void SetDownloadPrefix(const std::string& prefix) override { download_prefix = prefix; }
  int SetModemText(std::string_view text) override {
    CheckUnlocked();
    const size_t semicolon = text.find(';');
    modem_text_ = std::string(text.substr(0, semicolon));
    return semicolon == std::string_view::npos ? 0 : static_cast<int>(semicolon + 1);
  }
  int SetRawCommand(std::string_view text) override {
    CheckUnlocked();
    const size_t semicolon = text.find(';');
    raw_command_ = std::string(text.substr(0, semicolon));
    return semicolon == std::string_view::npos ? 0 : static_cast<int>(semicolon + 1);
  }
  void TraceLine(std::string_view text) override { trace.emplace_back(text); }
  void TraceReset() override {
    ++trace_resets;
    trace.clear();
  }
  bool TraceDumpToFile(std::FILE* file) override {
    for (const std::string& line : trace) {
      const std::string text = line + "\r\n";
      if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) return false;
    }
    trace.clear();
    return true;
  }
  void LogDisconnect(const char* format, const DisconnectReport&) override { trace.emplace_back(format); }
  void SetTraceViewVisible(bool) override {}
  void SetTraceViewFrozen(bool) override {}
  std::mutex& ModelMutex() override { return mutex_; }

  // The TCP connection comes up (or the peer goes away).
  void SetConnected(bool connected) { connected_ = connected; }
  const std::string& password() const { return password_; }

  struct Creation {
    int com_port;
    int baud;
    int ip_port;
    std::string host;
  };

  Responder responder;
  std::vector<int> sent;
  std::vector<std::string> modem_texts;
  std::vector<std::string> raw_commands;  // the text of every free-form command sent
  int trace_resets = 0;
  std::vector<std::string> trace;
  std::vector<Creation> created;
  std::map<int, bool> not_now;
  bool create_ok = true;
  bool open_ok = true;
  bool fail_writes = false;  // frames can no longer be written (a serial line that blocks)
  int item_cursor = 0;
  int file_number = 0;
  int block_count = 0;  // the block expected next of the download in progress
  int closes = 0;
  int issue_calls = 0;
  std::string download_prefix;
  std::string last_event_file_name;

 private:
  // The real link takes the model lock in these calls: the engine must not hold it then.
  void CheckUnlocked() const {
    if (!mutex_.try_lock()) {
      ADD_FAILURE() << "the engine called the link while holding the model lock";
      return;
    }
    mutex_.unlock();
  }

  ProtocolContext& context_;
  mutable std::mutex mutex_;
  LinkState state_ = LinkReady;
  int current_ = -1;
  int target_ = 0;
  bool channel_ = false;
  bool connected_ = false;
  unsigned write_failures_ = 0;
  std::string password_;
  std::string modem_text_;
  std::string raw_command_;
};

}  // namespace tarvik::testing
