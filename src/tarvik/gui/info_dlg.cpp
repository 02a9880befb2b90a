#include "tarvik/gui/info_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <span>

#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/info_text.h"

namespace tarvik {

namespace {

using namespace info_text;

// One row: its label, where its value comes from and the unit behind it.
struct Field {
  int label;
  std::function<std::string(const InfoPage&)> value;  // nothing shown when it gives no line
  const char* unit;
};

struct Group {
  int title;
  std::vector<Field> fields;
};

// The value of `code`'s first line; empty when the page has no such line.
std::function<std::string(const InfoPage&)> Of(std::string_view code) {
  return [code](const InfoPage& page) {
    const PageLine* line = page.Line(code);
    return line == nullptr ? std::string() : line->value;
  };
}

std::function<std::string(const InfoPage&)> ElementOf(std::string_view code, std::size_t index) {
  return [code, index](const InfoPage& page) { return page.Element(code, index); };
}

// The timed recording's set times; the unused slots are empty.
std::string SetTimes(const InfoPage& page) {
  const PageLine* line = page.Line("TU");
  if (line == nullptr) return {};
  std::string text;
  for (const std::string& element : line->elements) {
    if (element.empty()) continue;
    if (!text.empty()) text += ", ";
    text += element;
  }
  return text.empty() ? std::string("-") : text;
}

std::string DateAndTime(const InfoPage& page) {
  const PageLine* date = page.Line("CD");
  const PageLine* time = page.Line("CT");
  if (date == nullptr && time == nullptr) return {};
  std::string text = date != nullptr ? date->value : std::string();
  if (time != nullptr) text += (text.empty() ? "" : " ") + time->value;
  return text;
}

std::vector<Group> LeftGroups() {
  return {
      {kHardwareFirmware,
       {{kManufacturer, Of("IP"), ""},
        {kUnitName, Of("IN"), ""},
        {kSerialNumber, Of("IB"), ""},
        {kFirmwareVersion, Of("IV"), ""},
        {kDspVersion, Of("IF"), ""},
        {kOptions, Of("SO"), ""}}},
      {kPowerSupply,
       {{kMainBattery, Of("BP"), "V"},
        {kClockBackup, Of("BB"), "V"},
        {kSupplyPower, Of("WS"), ""},
        {kPowerLosses, Of("WL"), ""}}},
      {kDigitizerRecorder,
       {{kAdResolution, Of("IA"), "bit"},
        {kSamplingRate, Of("IR"), "1/s"},
        {kRecordingMode, Of("TN"), ""},
        {kChannels, Of("IH"), ""},
        {kFilter, Of("FS"), ""}}},
  };
}

std::vector<Group> RightGroups() {
  return {
      {kMemoryPrimary,
       {{kEvents, Of("ME"), ""},
        {kFiles, Of("MN"), ""},
        {kMemoryUsed, Of("MU"), "%"},
        {kPrimarySize, ElementOf("MS", 0), "KB"}}},
      {kMemorySecondary,
       {{kSecondarySize, ElementOf("MS", 1), "MB"},
        {kMassStorage, Of("MG"), ""},
        {kRingBuffer, Of("KR"), ""}}},
      {kSystemCondition,
       {{kStatus, [](const InfoPage&) { return std::string(" "); }, ""},
        {kStatusRecording, Of("IS"), ""},
        {kStatusTriggering, Of("IT"), ""},
        {kStatusAlarm, Of("AS"), ""},
        {kStatusAlerting, Of("AH"), ""},
        {kTimedRecording, SetTimes, ""},
        {kRestarts, Of("FR"), ""},
        {kTemperature, Of("TA"),
         "\xC2\xB0"
         "C"},
        {kInternalTime, DateAndTime, ""}}},
  };
}

}  // namespace

CInfoDlg::CInfoDlg(const kr::StringTable& strings, const InfoPage& page, QWidget* parent) : QDialog(parent) {
  setObjectName("CInfoDlg");
  setWindowTitle(Text(strings, kInfoRecorderTitle));
  auto* columns = new QHBoxLayout;
  for (const std::vector<Group>& side : {LeftGroups(), RightGroups()}) {
    auto* column = new QVBoxLayout;
    for (const Group& group : side) {
      auto* box = new QGroupBox(Text(strings, group.title), this);
      auto* grid = new QGridLayout(box);
      grid->setColumnStretch(1, 1);
      int row = 0;
      for (const Field& field : group.fields) {
        const std::string value = field.value(page);
        if (value.empty()) continue;
        auto* label = new QLabel(Text(strings, field.label), box);
        auto* shown = new QLabel(Q(value), box);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // The sub-rows of "Status:" stand indented below it.
        const bool sub_row = strings.Text(field.label).starts_with("- ");
        if (sub_row) label->setContentsMargins(12, 0, 0, 0);
        grid->addWidget(label, row, 0);
        grid->addWidget(shown, row, 1);
        grid->addWidget(new QLabel(QString::fromUtf8(field.unit), box), row, 2);
        values_[field.label] = shown;
        ++row;
      }
      column->addWidget(box);
    }
    column->addStretch(1);
    columns->addLayout(column);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);
}

const QLabel* CInfoDlg::Value(int label_id) const {
  const auto found = values_.find(label_id);
  return found == values_.end() ? nullptr : found->second;
}

}  // namespace tarvik
