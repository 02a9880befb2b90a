#pragma once

#include <cstdint>
#include <string>

#include "krcommon/clock.h"
#include "krsim/event_store.h"
#include "krsim/param_table.h"
#include "krsim/request.h"
#include "krsim/sim_config.h"
#include "krsim/unit_clock.h"

namespace krsim {

// One KR recorder: its stored parameters, its event memory, its clock and its recording state, and
// the answers it gives to the recorder commands (73-296) addressed to it.
class SimRecorder {
 public:
  SimRecorder(int number, const SimConfig& sim, const kr::Clock& pc);

  int number() const { return number_; }
  const RecorderConfig& config() const { return store_.identity().config; }
  const EventStore& store() const { return store_; }
  const std::string& password() const { return password_; }
  int device_type() const { return device_type_; }

  // Whether the recorder's firmware knows the command at all (device type and option bits).
  bool Knows(int command) const;
  // Answers a recorder command that Knows().
  Reply Handle(int command, const Request& request);

  // State shown in the control unit's status strings.
  bool recording() const { return recording_; }
  bool alarm1() const { return alarm1_; }
  bool alarm2() const { return alarm2_; }
  bool warning() const;
  bool error() const;
  bool has_new_event() const { return newest_unread_ != 0; }

  void ResetAlarms() { alarm1_ = alarm2_ = false; }
  // A new event recorded now (a trigger from outside). False with a reason when the memory is full.
  bool Trigger(std::string& message);
  // The PC has received event `file` completely.
  void TransferDone(int file);

 private:
  Reply Read(int command, const Request& request);
  Reply ReadDerived(std::string_view code, const Request& request, bool& handled);
  Reply DirectoryEntry(int file) const;
  Reply EventValues(int file, bool frequencies) const;
  Reply Write(const Request& request);
  Reply WriteFileCommand(const Request& request, bool& handled);
  Reply WriteMaintenance(const Request& request, bool& handled);
  Reply WriteMultiItem(const Request& request, bool& handled);
  Reply WriteScalar(const Request& request, bool& handled);
  Reply StartTransfer(int file, bool header_only) const;
  bool BusyRecording() const;
  void SetParam(const std::string& code, std::string value) { params_[code] = std::move(value); }
  std::string Param(std::string_view code) const;

  int number_;
  EventStore store_;
  ParamMap params_;
  UnitClock clock_;
  int device_type_;
  std::string password_;
  bool recording_;
  bool memory_full_;  // FM answers "ERROR"; erasing the memory empties it
  bool files_full_;   // FF answers "ERROR"; erasing the memory empties the file table
  bool mirror_ = false;
  bool alarm1_ = false;
  bool alarm2_ = false;
  int newest_unread_ = 0;
  std::int64_t busy_until_s_ = 0;  // recording an event until then (unit clock, seconds)
  mutable int av_reads_ = 0;
};

}  // namespace krsim
