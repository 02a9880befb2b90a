#include "tarvik/protocol/recorder_data.h"

#include <mutex>

namespace tarvik {

KrParams* RecorderData::Recorder(int number) {
  if (number < 1 || number > kMaxRecorders) return nullptr;
  return &kr[static_cast<size_t>(number - 1)];
}

const KrParams* RecorderData::Recorder(int number) const {
  if (number < 1 || number > kMaxRecorders) return nullptr;
  return &kr[static_cast<size_t>(number - 1)];
}

void RecorderData::ResetForConnection() {
  hcu.NC = {};
  hcu.QT = {};  // the own slot of the unit reached last
  hcu.recorders = {};
  hcu.alarm_flags = {};
  // Edits waiting to be written belong to the unit they were read from; a new connection may reach
  // another one, so nothing stays armed.
  hcu.NO.changed = hcu.NX.changed = hcu.RS.changed = false;
  hcu.NZ.ClearChanged();
  hcu.NM.ClearChanged();
  hcu.NH.ClearChanged();
  hcu.NL.ClearChanged();
  hcu.QP.ClearChanged();
  hcu.time_setting_pending = hcu.date_setting_pending = false;
  // The recorder records hold nothing but what the last connection read or was about to write
  // (type, file counters, directory, pending edits), so they start afresh.
  for (KrParams& recorder : kr) recorder = KrParams{};
  more_directory_entries = false;
}

void InstallConnectionReset(LinkLayer& link, RecorderData& data) {
  link.SetConnectionResetHook([&link, &data](std::uint16_t channel) {
    std::mutex* mutex = link.ChannelMutex(channel);
    if (mutex == nullptr) return;
    std::lock_guard lock(*mutex);
    data.ResetForConnection();
  });
}

}  // namespace tarvik
