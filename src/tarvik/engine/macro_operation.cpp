#include "tarvik/engine/macro_operation.h"

#include "tarvik/engine/macro_text.h"

namespace tarvik {

namespace {
constexpr int kStatusMacro = 346;
}  // namespace

bool MacroOperation::RequestMacroText(std::string_view text, const std::filesystem::path& directory) {
  std::string prepared = PrepareMacroText(text, directory, core().ui(), core().strings());
  own_text_ = prepared;
  return Start(kOwnMacro, std::move(prepared));
}

bool MacroOperation::RequestMacroEntry(int index, const std::filesystem::path& directory) {
  if (index < 0 || index >= kMacroEntries || table_[static_cast<std::size_t>(index)].empty()) return false;
  return Start(index, PrepareMacroText(table_[static_cast<std::size_t>(index)].definition, directory,
                                       core().ui(), core().strings()));
}

bool MacroOperation::Start(int selection, std::string prepared) {
  if (prepared.empty()) {
    selected_ = kNoMacro;
    core().EndOperation();
    return false;
  }
  selected_ = selection;
  core().state().connection_requested = true;
  sender_.Start(std::move(prepared));
  core().SetState(OperationState::kMacro);
  return true;
}

void MacroOperation::Step(OperationState) {
  core().SetStatus(kStatusMacro);
  if (!sender_.active()) {
    core().EndOperation();
    return;
  }
  const int result = sender_.Step(core());
  if (result == kListDone) {
    // The selection is cleared with the last reply (the engine's prologue clears the flag).
    selected_ = kNoMacro;
    core().EndOperation();
  } else if (result == LinkTimedOut || result == LinkOffline) {
    selected_ = kNoMacro;
    core().ReportTimeout();
  }
}

}  // namespace tarvik
