#include "tarvik/gui/settings/serial_ports_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <system_error>

#include "tarvik/app/serial_ports.h"
#include "tarvik/gui/settings/gui_text.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9690;
constexpr int kMsgFullPath = 9695;
constexpr int kVisiblePortRows = 8;

QString DeviceIn(const QComboBox* combo) {
  return combo->currentText().trimmed();
}

// "/dev/serial/by-id/usb-...  ->  ttyUSB0" for links, the path alone otherwise.
QString DescribeDevice(const std::string& device) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::canonical(device, error);
  if (error || target == std::filesystem::path(device)) return ToQString(device);
  return ToQString(device) + QStringLiteral("  \u2192  ") + ToQString(target.filename().string());
}

}  // namespace

CSerialPortsPage::CSerialPortsPage(const TarvikSettings& settings, const kr::StringTable& strings,
                                   const std::filesystem::path& dev_root, QWidget* parent)
    : CSettingsPage(LayoutText(strings, kLayout).title(), parent), strings_(strings) {
  const LayoutText text(strings, kLayout);
  const std::vector<std::string> present = ListSerialDevices(dev_root);

  auto* ports = new QWidget;
  auto* grid = new QGridLayout(ports);
  grid->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(text[1].toHtmlEscaped())), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(text[2].toHtmlEscaped())), 0, 1);
  for (int port = SerialPortMap::kFirstPort; port <= SerialPortMap::kLastPort; ++port) {
    auto* combo = new QComboBox;
    combo->setObjectName(QStringLiteral("COM%1").arg(port));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& device : present) combo->addItem(ToQString(device));
    combo->setEditText(ToQString(settings.serial_ports.DevicePath(port)));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(28);
    grid->addWidget(new QLabel(QStringLiteral("COM%1").arg(port)), port, 0);
    grid->addWidget(combo, port, 1);
    devices_.push_back(combo);
  }
  grid->setColumnStretch(1, 1);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("SerialPortRows"));
  scroll->setWidget(ports);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMinimumHeight(devices_.front()->sizeHint().height() * kVisiblePortRows);

  auto* list = new QListWidget(this);
  list->setObjectName(QStringLiteral("DevicesPresent"));
  for (const std::string& device : present) list->addItem(DescribeDevice(device));
  list->setFixedHeight(list->fontMetrics().height() * 8);

  form()->addRow(scroll);
  form()->addRow(new QLabel(text[3], this));
  form()->addRow(list);
}

std::optional<FieldProblem> CSerialPortsPage::Validate() const {
  for (QComboBox* combo : devices_) {
    const QString device = DeviceIn(combo);
    if (!device.isEmpty() && !device.startsWith(QLatin1Char('/'))) {
      return FieldProblem{combo, kMsgFullPath, ToQString(strings_.Text(kMsgFullPath))};
    }
  }
  return std::nullopt;
}

void CSerialPortsPage::Store(TarvikSettings& settings) const {
  for (size_t i = 0; i < devices_.size(); ++i) {
    const int port = SerialPortMap::kFirstPort + static_cast<int>(i);
    const QString device = DeviceIn(devices_[i]);
    settings.serial_ports.SetDevicePath(
        port, device.isEmpty() ? SerialPortMap::DefaultDevicePath(port) : ToStdString(device));
  }
}

}  // namespace tarvik
