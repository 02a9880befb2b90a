#pragma once

#include <filesystem>
#include <string>

#include "tarvik/engine/macro_sender.h"
#include "tarvik/engine/macro_table.h"
#include "tarvik/engine/operation.h"

namespace tarvik {

// The selected macro of the connection: none, the document's own text, or an entry of Macro.def.
inline constexpr int kNoMacro = -2;
inline constexpr int kOwnMacro = -1;

// Macros (state 2): the Run Macro text or an entry of Macro.def, prepared and sent to the logged-in
// recorder piece by piece; the operation ends when the last piece has been handed over.
class MacroOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // The macros of Macro.def (the host reads the file of the data root).
  void SetMacroTable(MacroTable table) { table_ = std::move(table); }
  const MacroTable& table() const { return table_; }

  // Run Macro: `text` is prepared ("Script:" files relative to `directory`) and becomes the
  // document's own macro. False when nothing is left to send (nothing requested).
  bool RequestMacroText(std::string_view text, const std::filesystem::path& directory);
  // An entry of Macro.def, 0..19. False when the entry is empty or its text prepares to nothing.
  bool RequestMacroEntry(int index, const std::filesystem::path& directory);

  int selected() const { return selected_; }
  const std::string& own_text() const { return own_text_; }

 private:
  static constexpr OperationState kStates[] = {OperationState::kMacro};

  bool Start(int selection, std::string prepared);

  MacroTable table_;
  int selected_ = kNoMacro;
  std::string own_text_;
  MacroSender sender_;
};

}  // namespace tarvik
