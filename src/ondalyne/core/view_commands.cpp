#include "ondalyne/core/view_commands.h"

#include <array>

#include "ondalyne/core/assessment.h"
#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/core/view_state.h"

namespace ondalyne {

namespace {

bool Always(const CommandContext&) {
  return true;
}
bool Never(const CommandContext&) {
  return false;
}
bool Interval(const CommandContext& c) {
  return c.kind == 4 || c.kind == 5;
}
// A readable waveform file; an unreadable one (kind 0) has nothing to analyse.
bool Waveform(const CommandContext& c) {
  return c.kind >= 1 && c.kind <= 3;
}
bool VectorSum(const CommandContext& c) {
  return Interval(c) && c.vm_sub_mode == 6;
}
bool PeakFrequency(const CommandContext& c) {
  return Interval(c) && c.vm_sub_mode == 7;
}
bool NotVectorSum(const CommandContext& c) {
  return c.mode != kModeVectorSum;
}
bool TimeHistoryMode(const CommandContext& c) {
  return c.mode == kModeTimeHistory;
}
bool NotStatus(const CommandContext& c) {
  return c.mode != kModeStatus;
}
bool CanIncrease(const CommandContext& c) {
  return Interval(c) && c.dot_radius < kMaxDotRadius;
}
bool CanDecrease(const CommandContext& c) {
  return Interval(c) && c.dot_radius >= kMinDotRadius;
}

bool InTimeHistory(const CommandContext& c) {
  return c.mode == kModeTimeHistory;
}
bool InFrequency(const CommandContext& c) {
  return c.mode == kModeFrequency;
}
bool InVectorSum(const CommandContext& c) {
  return c.mode == kModeVectorSum;
}
bool InPeakFrequency(const CommandContext& c) {
  return c.mode == kModePeakFrequency;
}
bool Assessable(const CommandContext& c) {
  return c.assessable;
}
bool InAssessment(const CommandContext& c) {
  return c.mode == kModeAssessment;
}
bool InStatus(const CommandContext& c) {
  return c.mode == kModeStatus;
}
bool AllShown(const CommandContext& c) {
  return c.channel == 0;
}
bool XShown(const CommandContext& c) {
  return c.channel == 1;
}
bool YShown(const CommandContext& c) {
  return c.channel == 2;
}
bool ZShown(const CommandContext& c) {
  return c.channel == 3;
}
bool OffsetOn(const CommandContext& c) {
  return c.offset;
}

constexpr std::array kCommands = std::to_array<ViewCommand>({
    {cmd::kTimeHistory, Always, InTimeHistory, kModeTimeHistory, -1, false},
    {cmd::kFrequency, Waveform, InFrequency, kModeFrequency, -1, false},
    {cmd::kVectorSum, VectorSum, InVectorSum, kModeVectorSum, -1, true},
    {cmd::kPeakFrequency, PeakFrequency, InPeakFrequency, kModePeakFrequency, -1, true},
    {cmd::kStatus, Always, InStatus, kModeStatus, -1, false},
    {cmd::kAssessment, Assessable, InAssessment, kModeAssessment, -1, false},
    {cmd::kAllChannels, Always, AllShown, -1, 0, false},
    {cmd::kChannelX, NotVectorSum, XShown, -1, 1, false},
    {cmd::kChannelY, NotVectorSum, YShown, -1, 2, false},
    {cmd::kChannelZ, NotVectorSum, ZShown, -1, 3, false},
    {cmd::kOffset, Always, OffsetOn, -1, -1, false},
    {cmd::kZoom, TimeHistoryMode, Never, -1, -1, false},
    {cmd::kIncreaseDots, CanIncrease, Never, -1, -1, false},
    {cmd::kDecreaseDots, CanDecrease, Never, -1, -1, false},
    {cmd::kCopy, NotStatus, Never, -1, -1, false},
});

}  // namespace

CommandContext MakeCommandContext(const COndalyneDoc& doc, const ViewState& view, int dot_radius) {
  CommandContext context{doc.kind(),   CanAssess(doc), doc.vm_sub_mode(), view.mode,
                         view.channel, view.offset,    dot_radius};
  return context;
}

std::span<const ViewCommand> ViewCommands() {
  return kCommands;
}

const ViewCommand* FindViewCommand(int id) {
  for (const ViewCommand& command : kCommands)
    if (command.id == id) return &command;
  return nullptr;
}

}  // namespace ondalyne
