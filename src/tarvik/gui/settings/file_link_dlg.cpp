#include "tarvik/gui/settings/file_link_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "tarvik/gui/settings/field_problem.h"
#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/page_controls.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

namespace {

constexpr int kMsgOpenExisting = 445;
constexpr int kFileFilter = 514;
constexpr int kDefaultExtension = 515;
constexpr int kButtons = 9691;
constexpr int kLayout = 9692;
constexpr int kLinkKindNames = 9693;
constexpr int kGroupNames = 9694;

// Lines of the layout text.
enum Line {
  kTitle = 0,
  kLinkLine,
  kBaudLine,
  kComLine,
  kDialTimeoutLine,
  kConnectionTimeoutLine,
  kDialCommandLine,
  kModemInitLine,
  kPhoneLine,
  kIpAddressLine,
  kIpPortLine,
  kUseHostLine,
  kHostNameLine,
  kSaveTitleLine,
};

constexpr int kMaxDialTimeout = 3600;          // s
constexpr int kMaxConnectionTimeout = 600000;  // ms
constexpr int kPortDigits = 5;

QSpinBox* MakeSpin(const QString& object_name, int min, int max, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(object_name);
  spin->setRange(min, max);
  return spin;
}

QLineEdit* MakeText(const QString& object_name, int max_length, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(object_name);
  if (max_length > 0) edit->setMaxLength(max_length);
  return edit;
}

std::optional<std::filesystem::path> ChooseWithQt(QWidget* parent, const std::string& title,
                                                  const std::filesystem::path& directory,
                                                  const std::string& filter) {
  const QString chosen = QFileDialog::getOpenFileName(parent, ToQString(title), ToQString(directory.string()),
                                                      QtFileFilter(filter));
  if (chosen.isEmpty()) return std::nullopt;
  return std::filesystem::path(ToStdString(chosen));
}

}  // namespace

CFileLinkDlg::CFileLinkDlg(const TarvikSettings& settings, const kr::StringTable& strings, UiPort& ui,
                           HostResolver resolver, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      strings_(strings),
      ui_(ui),
      resolver_(std::move(resolver)),
      model_(settings) {
  const LayoutText text(strings, kLayout);
  const LayoutText kinds(strings, kLinkKindNames);
  const LayoutText groups(strings, kGroupNames);
  setObjectName(QStringLiteral("FileLink"));
  setWindowTitle(text[kTitle]);
  choose_open_file_ = [this](const std::string& title, const std::filesystem::path& directory,
                             const std::string& filter) {
    return ChooseWithQt(this, title, directory, filter);
  };

  auto* open = new QPushButton(ToQString(strings.Text(kMsgOpenExisting)), this);
  open->setObjectName(QStringLiteral("OpenExisting"));
  connect(open, &QPushButton::clicked, this, [this] { OpenExisting(); });

  link_kind_ = new QComboBox(this);
  link_kind_->setObjectName(QStringLiteral("LinkKind"));
  for (size_t i = 0; i < ConnectionEditorModel::kLinkKindChoices.size(); ++i) {
    link_kind_->addItem(kinds[static_cast<int>(i)], ToInt(ConnectionEditorModel::kLinkKindChoices[i]));
  }
  connection_timeout_ = MakeSpin(QStringLiteral("ConnectionTimeout"), 0, kMaxConnectionTimeout, this);
  auto* top = new QFormLayout;
  top->addRow(text[kLinkLine], link_kind_);
  top->addRow(text[kConnectionTimeoutLine], connection_timeout_);

  serial_group_ = new QGroupBox(groups[0], this);
  baud_ = new QComboBox(serial_group_);
  baud_->setObjectName(QStringLiteral("Baud"));
  for (int rate : ConnectionEditorModel::kBaudChoices) baud_->addItem(QString::number(rate), rate);
  com_port_ = MakeComPortChoice(QStringLiteral("ComPort"), 1, serial_group_);
  auto* serial_form = new QFormLayout(serial_group_);
  serial_form->addRow(text[kBaudLine], baud_);
  serial_form->addRow(text[kComLine], com_port_);

  modem_group_ = new QGroupBox(groups[1], this);
  phone_number_ = MakeText(QStringLiteral("PhoneNumber"), 0, modem_group_);
  dial_timeout_ = MakeSpin(QStringLiteral("DialTimeout"), 0, kMaxDialTimeout, modem_group_);
  dial_command_ = MakeText(QStringLiteral("DialCommand"), static_cast<int>(kDialCommandField), modem_group_);
  modem_init_ = MakeText(QStringLiteral("ModemInit"), static_cast<int>(kModemInitField), modem_group_);
  dial_command_->setReadOnly(true);
  modem_init_->setReadOnly(true);
  auto* modem_form = new QFormLayout(modem_group_);
  modem_form->addRow(text[kPhoneLine], phone_number_);
  modem_form->addRow(text[kDialTimeoutLine], dial_timeout_);
  modem_form->addRow(text[kDialCommandLine], dial_command_);
  modem_form->addRow(text[kModemInitLine], modem_init_);

  network_group_ = new QGroupBox(groups[2], this);
  auto* address = new QHBoxLayout;
  for (size_t i = 0; i < ip_address_.size(); ++i) {
    ip_address_[i] = MakeSpin(QStringLiteral("IpAddress%1").arg(i), 0, 255, network_group_);
    ip_address_[i]->setButtonSymbols(QAbstractSpinBox::NoButtons);
    ip_address_[i]->setAlignment(Qt::AlignRight);
    if (i > 0) address->addWidget(new QLabel(QStringLiteral("."), network_group_));
    address->addWidget(ip_address_[i]);
  }
  address->addStretch(1);
  ip_port_ = MakeNumberEdit(QStringLiteral("IpPort"), 0, kPortDigits, network_group_);
  use_host_name_ = MakeCheck(QStringLiteral("UseHostName"), text[kUseHostLine], false, network_group_);
  host_name_ = MakeText(QStringLiteral("HostName"), static_cast<int>(kHostNameMax), network_group_);
  auto* network_form = new QFormLayout(network_group_);
  network_form->addRow(text[kIpAddressLine], address);
  network_form->addRow(text[kIpPortLine], ip_port_);
  network_form->addRow(use_host_name_);
  network_form->addRow(text[kHostNameLine], host_name_);

  const LayoutText buttons_text(strings, kButtons);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(buttons_text[0]);
  buttons->button(QDialogButtonBox::Cancel)->setText(buttons_text[1]);
  connect(buttons, &QDialogButtonBox::accepted, this, &CFileLinkDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CFileLinkDlg::reject);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(open, 0, Qt::AlignLeft);
  outer->addLayout(top);
  outer->addWidget(serial_group_);
  outer->addWidget(modem_group_);
  outer->addWidget(network_group_);
  outer->addStretch(1);
  outer->addWidget(buttons);

  setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 64);
  ShowValues();
  connect(link_kind_, &QComboBox::currentIndexChanged, this, [this] { OnLinkKindChanged(); });
  connect(use_host_name_, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
}

void CFileLinkDlg::ShowValues() {
  showing_values_ = true;
  const ConnectionRecord& v = model_.values();
  ShowNumberChoice(link_kind_, ToInt(v.link_kind));
  ShowNumberChoice(baud_, v.baud);
  ShowNumberChoice(com_port_, v.com_port);
  dial_timeout_->setValue(v.dial_timeout);
  connection_timeout_->setValue(v.connection_timeout);
  dial_command_->setText(ToQString(v.dial_command));
  modem_init_->setText(ToQString(v.modem_init));
  phone_number_->setText(ToQString(v.phone_number));
  const std::array<int, 4> parts = model_.IpAddressParts();
  for (size_t i = 0; i < parts.size(); ++i) ip_address_[i]->setValue(parts[i]);
  ip_port_->setText(QString::number(v.ip_port));
  use_host_name_->setChecked(v.use_host_name != 0);
  host_name_->setText(ToQString(v.host_name));
  showing_values_ = false;
  UpdateEnabling();
}

void CFileLinkDlg::CopyControlsToModel() {
  ConnectionRecord& v = model_.values();
  v.link_kind = static_cast<LinkKind>(NumberChoiceIn(link_kind_));
  v.baud = NumberChoiceIn(baud_);
  v.com_port = com_port_->currentData().toInt();
  v.dial_timeout = dial_timeout_->value();
  v.connection_timeout = connection_timeout_->value();
  v.dial_command = ToStdString(dial_command_->text());
  v.modem_init = ToStdString(modem_init_->text());
  v.phone_number = ToStdString(phone_number_->text().trimmed());
  model_.SetIpAddress(ip_address_[0]->value(), ip_address_[1]->value(), ip_address_[2]->value(),
                      ip_address_[3]->value());
  v.ip_port = NumberIn(ip_port_);
  v.use_host_name = use_host_name_->isChecked() ? 1 : 0;
  v.host_name = ToStdString(host_name_->text().trimmed());
}

void CFileLinkDlg::OnLinkKindChanged() {
  if (showing_values_) return;
  CopyControlsToModel();
  model_.SelectLinkKind(static_cast<LinkKind>(NumberChoiceIn(link_kind_)));
  ShowValues();
}

void CFileLinkDlg::UpdateEnabling() {
  const auto kind = static_cast<LinkKind>(NumberChoiceIn(link_kind_));
  const bool tcp = kind == LinkKind::kTcp;
  serial_group_->setEnabled(!tcp);
  modem_group_->setEnabled(IsModemLinkKind(kind));
  network_group_->setEnabled(tcp);
  host_name_->setEnabled(use_host_name_->isChecked());
}

QWidget* CFileLinkDlg::FieldOf(ConnectionEditorModel::Field field) const {
  switch (field) {
    case ConnectionEditorModel::Field::kPhoneNumber:
      return phone_number_;
    case ConnectionEditorModel::Field::kIpPort:
      return ip_port_;
  }
  return nullptr;
}

void CFileLinkDlg::OpenExisting() {
  std::optional<std::filesystem::path> path =
      choose_open_file_(strings_.Text(kMsgOpenExisting), settings_.connect_path, strings_.Text(kFileFilter));
  if (!path) return;
  // A file that is not a connection file is reported (513) and the editor keeps what it shows.
  if (model_.LoadExisting(*path, ui_, strings_)) ShowValues();
}

void CFileLinkDlg::accept() {
  CopyControlsToModel();
  if (auto problem = model_.Validate(strings_)) {
    ShowFieldProblem({FieldOf(problem->field), problem->message_id, ToQString(problem->text)},
                     settings_.show_warning_balloons != 0, ui_);
    return;
  }
  const LayoutText text(strings_, kLayout);
  std::optional<std::filesystem::path> path = ui_.ChooseSaveFile(
      ToStdString(text[kSaveTitleLine]), settings_.connect_path, std::string(), strings_.Text(kFileFilter));
  if (!path) {
    reject();
    return;
  }
  if (!path->has_extension()) path->replace_extension(strings_.Text(kDefaultExtension));
  // Declined (507 answered No) or not written (9401 shown): the editor stays open.
  if (model_.Save(*path, resolver_, ui_, strings_) != ConnectionEditorModel::SaveOutcome::kSaved) return;
  saved_path_ = *path;
  QDialog::accept();
}

}  // namespace tarvik
