#pragma once

#include <span>

#include "tarvik/engine/engine_core.h"
#include "tarvik/engine/operation_state.h"
#include "tarvik/protocol/protocol_context.h"

namespace tarvik {

// One family of operation states (connection and log-in, transfers, event lists, ...). A unit keeps
// its own fields, registers its states in the engine's state table and reaches the engine only
// through EngineCore. The engine calls it for its states only.
class Operation {
 public:
  explicit Operation(EngineCore& core) : core_(core) {}
  virtual ~Operation() = default;
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;

  // The states this unit runs.
  virtual std::span<const OperationState> States() const = 0;
  // One tick of `state`.
  virtual void Step(OperationState state) = 0;

  // What the protocol must know while `state` runs (the purpose of a download, a log-in in
  // progress). The engine clears those facts before every state change and then asks the unit.
  virtual void DescribeTo(OperationState state, ProtocolContext& context) const {
    (void)state;
    (void)context;
  }
  // Whether `state` holds a conversation with the unit, so that a dead link ends it.
  virtual bool Converses(OperationState state) const {
    (void)state;
    return true;
  }
  // The link died while `state` ran.
  virtual DeadLinkEnd OnDeadLink(OperationState state) {
    (void)state;
    return DeadLinkEnd::kNoReply;
  }
  // The progress window's button was pressed while `state` ran. False: the engine's default (the
  // operation finishes at once).
  virtual bool OnProgressCancel(OperationState state) {
    (void)state;
    return false;
  }
  // A new connection is being opened: forget what belonged to the previous one.
  virtual void OnConnectionOpened() {}

 protected:
  EngineCore& core() { return core_; }
  const EngineCore& core() const { return core_; }

 private:
  EngineCore& core_;
};

}  // namespace tarvik
