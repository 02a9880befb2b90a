#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "krcommon/string_table.h"
#include "tarvik/app/connection_editor.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

namespace tarvik {

// File > Create Link File...: the connection editor, a view over ConnectionEditorModel for every
// link kind (Modem 1, Modem 2, serial line, TCP/IP). "Open existing Connection File for editing"
// loads a file into it; OK checks the values, asks for the file name, writes the file and asks the
// caller to connect to the new document at once:
//
//   CFileLinkDlg dlg(settings, strings, ui, resolver, window);
//   if (dlg.exec() == QDialog::Accepted && dlg.connect_requested()) engine.Open(*dlg.document());
//
// The dial command and initialisation of the modem kinds come from the modem definitions of the
// settings (opening the document takes them from there again), so they are shown read-only.
class CFileLinkDlg : public QDialog {
 public:
  // Asks for a connection file to open: title, starting folder, filter in the table's form.
  using OpenFileChooser = std::function<std::optional<std::filesystem::path>(
      const std::string& title, const std::filesystem::path& directory, const std::string& filter)>;

  CFileLinkDlg(const TarvikSettings& settings, const kr::StringTable& strings, UiPort& ui,
               HostResolver resolver, QWidget* parent = nullptr);

  // The chooser behind "Open existing..."; a Qt file dialog unless replaced.
  void SetOpenFileChooser(OpenFileChooser chooser) { choose_open_file_ = std::move(chooser); }

  // After OK: the file written, and the document to connect to (host name resolved).
  const std::optional<std::filesystem::path>& saved_path() const { return saved_path_; }
  bool connect_requested() const { return model_.document().has_value(); }
  const std::optional<ConnectionDocument>& document() const { return model_.document(); }

  // "Open existing Connection File for editing".
  void OpenExisting();

  void accept() override;

 private:
  void ShowValues();
  void CopyControlsToModel();
  void OnLinkKindChanged();
  void UpdateEnabling();
  QWidget* FieldOf(ConnectionEditorModel::Field field) const;

  const TarvikSettings& settings_;
  const kr::StringTable& strings_;
  UiPort& ui_;
  HostResolver resolver_;
  ConnectionEditorModel model_;
  OpenFileChooser choose_open_file_;
  std::optional<std::filesystem::path> saved_path_;
  bool showing_values_ = false;

  QComboBox* link_kind_;
  QGroupBox* serial_group_;
  QComboBox* baud_;
  QComboBox* com_port_;
  QGroupBox* modem_group_;
  QSpinBox* dial_timeout_;
  QLineEdit* dial_command_;
  QLineEdit* modem_init_;
  QLineEdit* phone_number_;
  QGroupBox* network_group_;
  std::array<QSpinBox*, 4> ip_address_;
  QLineEdit* ip_port_;
  QCheckBox* use_host_name_;
  QLineEdit* host_name_;
  QSpinBox* connection_timeout_;
};

}  // namespace tarvik
