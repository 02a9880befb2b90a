#pragma once

#include <ostream>
#include <span>
#include <string>

#include "krcommon/clock.h"

namespace krtool {

// Message ids of the tool (string table, area "event files").
inline constexpr int kMsgUsage = 25110;
inline constexpr int kMsgFieldsHelp = 25111;
inline constexpr int kMsgInfoHelp = 25112;
inline constexpr int kMsgExportHelp = 25113;
inline constexpr int kMsgKindHelp = 25114;
inline constexpr int kMsgCannotOpen = 25115;
inline constexpr int kMsgUnknownCommand = 25116;
inline constexpr int kMsgMissingEquals = 25117;
inline constexpr int kMsgUnknownOption = 25118;
inline constexpr int kMsgNotANumber = 25119;
inline constexpr int kMsgWrongArguments = 25120;
inline constexpr int kMsgNotAFile = 25121;
inline constexpr int kMsgMseedHelp = 25130;
inline constexpr int kMsgSacHelp = 25131;
inline constexpr int kMsgAssessHelp = 25132;
inline constexpr int kMsgTraceLine = 25143;
inline constexpr int kMsgWritten = 25144;
inline constexpr int kMsgNeedsValue = 25145;
inline constexpr int kMsgNotVelocity = 25146;
inline constexpr int kMsgForcedNotVelocity = 25147;
inline constexpr int kMsgAssessTitle = 25148;
inline constexpr int kMsgLine1 = 25149;  // 25150, 25151: lines 2 and 3
inline constexpr int kMsgAssessHeadings = 25152;
inline constexpr int kMsgVerdictBelow = 25153;
inline constexpr int kMsgVerdictExceeded = 25154;
inline constexpr int kMsgNoHalfWave = 25155;
inline constexpr int kMsgAssessResult = 25156;
inline constexpr int kMsgBadLine = 25157;
inline constexpr int kMsgStartTime = 25158;
inline constexpr int kMsgBadUtcOffset = 25159;
inline constexpr int kMsgCipherHelp = 9554;  // encipher and decipher
inline constexpr int kMsgNotEnciphered = 9555;
inline constexpr int kMsgOutputIsInput = 25160;

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;    // the file could not be read or the conversion stopped
inline constexpr int kExitUsage = 2;     // the command line was wrong
inline constexpr int kExitExceeded = 3;  // assess: a channel exceeds its guideline value

// Runs one krtool command line (without the program name): texts go to `out` as UTF-8 with "\n"
// line ends, messages to `err`. Returns the exit code.
int RunKrtool(std::span<const std::string> args, std::ostream& out, std::ostream& err,
              const kr::Clock& clock);

}  // namespace krtool
