#pragma once

#include "tarvik/app/tarvik_settings.h"
#include "tarvik/protocol/protocol_context.h"

namespace tarvik {

// Copies the settings the reply path needs (file names, date format, time correction, folders) into
// the protocol context; done once when the window or tarvik-cli starts, under the channel lock.
void ConfigureProtocolContext(ProtocolContext& context, const TarvikSettings& settings);

}  // namespace tarvik
