#pragma once

#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krsim/fault_injector.h"
#include "krsim/param_table.h"
#include "krsim/request.h"
#include "krsim/sim_config.h"
#include "krsim/sim_recorder.h"
#include "krsim/unit_clock.h"

namespace krsim {

// The unit at the end of the line: the log-in, the control unit's own commands, and the routing of
// recorder commands to the recorder that Na<k> selected (or to the one recorder of a direct line).
//
// Log-in: until Li carries the right password every request is answered "E"; an "E" to LL is how
// the PC learns that it must ask for the password. Lo logs out. A new connection starts logged out.
class UnitModel {
 public:
  UnitModel(const SimConfig& config, FaultInjector& faults, const kr::Clock& pc);

  Reply Handle(const Request& request);
  // A new connection (or a modem call): logged out, the control unit itself addressed.
  void ResetSession();

  bool logged_in() const { return logged_in_; }
  int selected() const { return selected_; }
  UnitKind kind() const { return config_.unit; }
  int recorder_count() const { return static_cast<int>(recorders_.size()); }
  const std::vector<SimRecorder>& recorders() const { return recorders_; }

  // A new event on recorder `number` (1-based). False with a reason when there is no such recorder
  // or its memory is full.
  bool Trigger(int number, std::string& message);
  // Event `file` of recorder `number` reached the PC completely.
  void TransferDone(int number, int file);

 private:
  Reply HandleLoggedOut(const Request& request);
  Reply Route(const Request& request);
  Reply ToRecorder(int number, int command, const Request& request);
  Reply ControlUnit(const Request& request);
  Reply ControlUnitRead(const Request& request);
  Reply ControlUnitWrite(const Request& request);
  Reply CombinationWrite(const Request& request);
  Reply SmallWrite(const Request& request, bool& handled);
  bool PasswordMatches(const std::string& password) const;
  std::string StatusString(int command);
  std::string Param(std::string_view code) const;

  SimConfig config_;
  FaultInjector& faults_;
  std::vector<SimRecorder> recorders_;
  ParamMap params_;
  UnitClock clock_;
  std::string password_;
  bool logged_in_ = false;
  int selected_ = 0;
};

}  // namespace krsim
