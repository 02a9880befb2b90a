#pragma once

#include <ostream>
#include <span>
#include <string>

#include "krcommon/clock.h"
#include "krcommon/string_table.h"

namespace krtool {

// What the commands write to and read from: the console streams, the clock (it expands the
// headers' two-digit years) and the texts.
struct ToolContext {
  std::ostream& out;
  std::ostream& err;
  const kr::Clock& clock;
  const kr::StringTable& strings;
};

// krtool mseed FILE [OUT.mseed] [--network NN] [--station NAME] [--location LL] [--channels X,Y,Z]
//              [--physical] [--sds ROOT]
int RunMseed(std::span<const std::string> args, const ToolContext& context);
// krtool sac FILE OUTDIR [--network NN] [--station NAME] [--location LL] [--channels X,Y,Z]
int RunSac(std::span<const std::string> args, const ToolContext& context);
// krtool assess FILE [--line 1|2|3] [--json] [--force]
int RunAssess(std::span<const std::string> args, const ToolContext& context);

}  // namespace krtool
