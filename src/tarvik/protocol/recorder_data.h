#pragma once

#include <array>

#include "tarvik/link/link_layer.h"
#include "tarvik/protocol/hcu_info.h"
#include "tarvik/protocol/kr_params.h"

namespace tarvik {

// The recorder data model: the control unit's values and one record per recorder slot. One per
// process, shared by the reader thread and the main thread under the link channel's lock.
struct RecorderData {
  HcuInfo hcu;
  std::array<KrParams, kMaxRecorders> kr{};
  // The last directory entry read (MD) said that older entries follow ("Y").
  bool more_directory_entries = false;

  // The record of recorder 1..16; null for any other number.
  KrParams* Recorder(int number);
  const KrParams* Recorder(int number) const;

  // Forget what belonged to the previous connection; the link layer calls this when a connection
  // is opened or closed. Offline counters survive: the disconnect summary reports them.
  void ResetForConnection();
};

// Makes the link layer reset the data model whenever it opens or closes a connection. The reset
// runs under the channel's lock, as every other access to the model does.
void InstallConnectionReset(LinkLayer& link, RecorderData& data);

}  // namespace tarvik
