#pragma once

#include <functional>
#include <span>
#include <vector>

#include "tarvik/engine/operation.h"

namespace tarvik {

// Erase selected Event(s) from the event list window (85): one Mo frame per chosen event, then the
// list is read again (22) so that the window shows what the recorder still holds.
class EventEraseOperation final : public Operation {
 public:
  using ReadListAgain = std::function<void()>;

  EventEraseOperation(EngineCore& core, ReadListAgain read_list_again)
      : Operation(core), read_list_again_(std::move(read_list_again)) {}

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // Requests 85 for the recorder's events `file_numbers` (1..255). False when none of them is an
  // event number: nothing is requested then.
  bool Request(const std::vector<int>& file_numbers);

 private:
  static constexpr OperationState kStates[] = {OperationState::kEraseSelected};

  void ForgetChoice();

  ReadListAgain read_list_again_;
};

}  // namespace tarvik
