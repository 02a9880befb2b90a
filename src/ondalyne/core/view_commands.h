#pragma once

#include <span>

namespace ondalyne {

class COndalyneDoc;
struct ViewState;

// Command ids of the viewer's menus. The analysis commands are the view's own; the others are the
// frame's (file, window and help commands).
namespace cmd {
inline constexpr int kTimeHistory = 32772;
inline constexpr int kFrequency = 32775;
inline constexpr int kVectorSum = 32776;
inline constexpr int kPeakFrequency = 32777;
inline constexpr int kStatus = 32778;
inline constexpr int kChannelX = 32780;
inline constexpr int kChannelY = 32781;
inline constexpr int kChannelZ = 32782;
inline constexpr int kZoom = 32783;
inline constexpr int kOffset = 32784;
inline constexpr int kAllChannels = 32785;
inline constexpr int kIncreaseDots = 32786;
inline constexpr int kDecreaseDots = 32787;
inline constexpr int kAssessment = 32788;
inline constexpr int kCopy = 57634;

inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kNewWindow = 57648;
inline constexpr int kCascade = 57650;
inline constexpr int kTile = 57651;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kHelp = 57667;
inline constexpr int kToolbar = 59392;
inline constexpr int kStatusBar = 59393;
}  // namespace cmd

// What the enabling rules look at: the active view's document and state, and the dot radius.
struct CommandContext {
  int kind = -1;            // -1: no document
  bool assessable = false;  // a waveform file of velocities
  int vm_sub_mode = 0;
  int mode = 0;
  int channel = 0;
  bool offset = false;
  int dot_radius = 5;
};
CommandContext MakeCommandContext(const COndalyneDoc& doc, const ViewState& view, int dot_radius);

// One command of the view: its id (also the id of its menu text), the rule that enables it and the
// one that checks it. `analysis_mode`/`channel` name what the command selects, -1 for none.
struct ViewCommand {
  int id;
  bool (*enabled)(const CommandContext&);
  bool (*checked)(const CommandContext&);
  int analysis_mode;
  int channel;
  bool interval_only;  // the menus of vmx and bkr files carry it, the others do not
};

std::span<const ViewCommand> ViewCommands();
const ViewCommand* FindViewCommand(int id);

inline constexpr int kMaxDotRadius = 22;  // Increase stops here
inline constexpr int kMinDotRadius = 2;   // Decrease needs at least this
inline constexpr int kDotStep = 2;

}  // namespace ondalyne
