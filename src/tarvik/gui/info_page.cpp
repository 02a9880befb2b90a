#include "tarvik/gui/info_page.h"

#include <mutex>

#include "tarvik/engine/link_adapter.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/engine/parameter_read_operation.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

const PageLine* InfoPage::Line(std::string_view code) const {
  const auto found = by_code.find(code);
  return found == by_code.end() || found->second.empty() ? nullptr : &found->second.front();
}

std::string InfoPage::Element(std::string_view code, std::size_t index) const {
  const PageLine* line = Line(code);
  if (line == nullptr || index >= line->elements.size()) return {};
  return line->elements[index];
}

InfoPage ReadInfoPage(OperationEngine& engine, LinkAdapter& stack, ParameterPage page,
                      const std::vector<std::string_view>& also) {
  auto& reader = engine.Unit<ParameterReadOperation>();
  // Asked before the model is locked: for the recording-mode page the list depends on the trigger
  // mode, which the reader looks up under the same lock.
  const std::vector<int> page_list = reader.PageReadList(page);
  std::vector<int> list = page_list;
  const bool recorder_page = !list.empty() && list.front() == cmd::kNa;
  for (std::string_view code : also) list.push_back(FindCommand(code, cmd::kFirstRecorderCommand));

  InfoPage result;
  std::lock_guard lock(stack.ModelMutex());
  const RecorderData& data = stack.data();
  const PageSource source{data.hcu, recorder_page ? data.Recorder(stack.TargetRecorder()) : nullptr,
                          data.hcu.LL.value, engine.fields().password};
  const kr::StringTable& strings = engine.core().strings();
  result.lines = BuildPageLines(page, page_list, source, strings);
  for (const int command : list) {
    if (command < 0 || command == cmd::kNa || command == cmd::kNa0) continue;
    const int one[] = {command};
    result.by_code[std::string(CommandAt(command).code)] = BuildPageLines(page, one, source, strings);
  }
  return result;
}

}  // namespace tarvik
