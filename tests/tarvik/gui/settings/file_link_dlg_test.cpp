#include "tarvik/gui/settings/file_link_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui_test_support.h"
#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

using guitest::BalloonText;
using tarvik::ConnectionRecord;

class FileLinkDlgTest : public ::testing::Test {
 protected:
  FileLinkDlgTest()
      : strings_(tarvik::MakeTarvikStringTable()), settings_(tarvik::DefaultSettings(dir_.path())) {
    guitest::App();
    settings_.modem1 = {"Office modem", 3, "AT&F;ATE0", "ATDT"};
    settings_.modem2 = {"Field modem", 4, "ATZ;ATX3", "ATDP"};
    settings_.file_link_baud_rate = 19200;
    settings_.connect_path = dir_.path();
  }

  std::unique_ptr<tarvik::CFileLinkDlg> MakeDialog() {
    auto dialog =
        std::make_unique<tarvik::CFileLinkDlg>(settings_, strings_, ui_, [this](const std::string& host) {
          resolved_hosts_.push_back(host);
          return std::optional<std::string>("10.0.0.7");
        });
    dialog->show();
    return dialog;
  }

  template <typename T>
  static T* Field(tarvik::CFileLinkDlg& dialog, const char* name) {
    T* field = dialog.findChild<T*>(QLatin1String(name));
    EXPECT_NE(field, nullptr) << name;
    return field;
  }

  static void Choose(tarvik::CFileLinkDlg& dialog, const char* name, const char* item) {
    QComboBox* combo = Field<QComboBox>(dialog, name);
    const int index = combo->findText(QString::fromUtf8(item));
    ASSERT_GE(index, 0) << item;
    combo->setCurrentIndex(index);
  }

  static void Type(tarvik::CFileLinkDlg& dialog, const char* name, const char* text) {
    Field<QLineEdit>(dialog, name)->setText(QString::fromUtf8(text));
  }

  std::optional<ConnectionRecord> Read(const std::filesystem::path& path) {
    guitest::FakeUi quiet;
    return tarvik::ReadConnectionFile(path, quiet, strings_);
  }

  guitest::TempDir dir_;
  kr::StringTable strings_;
  tarvik::TarvikSettings settings_;
  guitest::FakeUi ui_;
  std::vector<std::string> resolved_hosts_;
};

// What a version-7 file holds when nothing of the network part was touched.
ConnectionRecord Expected(tarvik::LinkKind kind, int baud, int com, int dial_timeout, int connection_timeout,
                          std::string dial, std::string init, std::string phone) {
  ConnectionRecord r;
  r.version = 7;
  r.link_kind = kind;
  r.baud = baud;
  r.com_port = com;
  r.dial_timeout = dial_timeout;
  r.connection_timeout = connection_timeout;
  r.dial_command = std::move(dial);
  r.modem_init = std::move(init);
  r.phone_number = std::move(phone);
  r.ip_address = "0.0.0.0";
  r.ip_port = 0;
  r.use_host_name = 0;
  return r;
}

TEST_F(FileLinkDlgTest, EveryLinkKindIsWrittenAndReadBackFieldForField) {
  struct Case {
    const char* kind;
    const char* file;
    ConnectionRecord expected;
  };
  const Case cases[] = {
      {"Modem 1", "office",
       Expected(tarvik::LinkKind::kModem1, 38400, 5, 90, 3000, "ATDT", "AT&F;ATE0", "0049 (30) 1234-5")},
      {"Modem 2", "field",
       Expected(tarvik::LinkKind::kModem2, 38400, 5, 90, 3000, "ATDP", "ATZ;ATX3", "0049 (30) 1234-5")},
      {"Serial line", "bench",
       Expected(tarvik::LinkKind::kSerial, 38400, 5, 90, 3000, "ATDT", "AT&F;ATE0", "0049 (30) 1234-5")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    auto dialog = MakeDialog();
    Choose(*dialog, "LinkKind", c.kind);
    Choose(*dialog, "Baud", "38400");
    Choose(*dialog, "ComPort", "COM5");
    Field<QSpinBox>(*dialog, "DialTimeout")->setValue(90);
    Field<QSpinBox>(*dialog, "ConnectionTimeout")->setValue(3000);
    Type(*dialog, "PhoneNumber", "0049 (30) 1234-5");
    const std::filesystem::path chosen = dir_.path() / c.file;  // no extension: ".krc" is added
    ui_.save_files.push_back(chosen);

    dialog->accept();

    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    const std::filesystem::path written = dir_.path() / (std::string(c.file) + ".krc");
    ASSERT_EQ(dialog->saved_path(), written);
    EXPECT_TRUE(dialog->connect_requested());
    EXPECT_EQ(std::filesystem::file_size(written), 261u);  // 3 + 6*4 + 20 + 50 + 40 + 15 + 4 + 4 + 101
    std::optional<ConnectionRecord> read = Read(written);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, c.expected);
    // The modem texts of the kinds that dial come from the settings, as the editor showed them.
  }
  ASSERT_EQ(ui_.save_choosers.size(), 3u);
  EXPECT_EQ(ui_.save_choosers[0].title, "Save Connection File");
  EXPECT_EQ(ui_.save_choosers[0].filter, "KR Connection Files (*.krc)|*.krc|All Files (*.*)|*.*||");
  EXPECT_EQ(ui_.save_choosers[0].directory, dir_.path());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(FileLinkDlgTest, TcpWritesTheTypedAddressAndConnectsToTheResolvedHost) {
  auto dialog = MakeDialog();
  Choose(*dialog, "LinkKind", "TCP/IP");
  EXPECT_FALSE(Field<QLineEdit>(*dialog, "PhoneNumber")->isEnabled());
  const int octets[] = {192, 168, 10, 20};
  for (int i = 0; i < 4; ++i) {
    Field<QSpinBox>(*dialog, ("IpAddress" + std::to_string(i)).c_str())->setValue(octets[i]);
  }
  Type(*dialog, "IpPort", "4001");
  Field<QCheckBox>(*dialog, "UseHostName")->setChecked(true);
  Type(*dialog, "HostName", "kr-station.example");
  ui_.save_files.push_back(dir_.path() / "station.krc");

  dialog->accept();

  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  std::optional<ConnectionRecord> read = Read(dir_.path() / "station.krc");
  ASSERT_TRUE(read.has_value());
  ConnectionRecord expected = Expected(tarvik::LinkKind::kTcp, 19200, 3, 60, 2000, "ATDT", "AT&F;ATE0", "");
  expected.ip_address = "192.168.10.20";
  expected.ip_port = 4001;
  expected.use_host_name = 1;
  expected.host_name = "kr-station.example";
  EXPECT_EQ(*read, expected);
  ASSERT_TRUE(dialog->document().has_value());
  EXPECT_EQ(dialog->document()->record.ip_address, "10.0.0.7");
  EXPECT_EQ(resolved_hosts_, std::vector<std::string>{"kr-station.example"});
}

TEST_F(FileLinkDlgTest, BadPhoneNumbersAndPortsAreRefusedBeforeAnyFileIsAskedFor) {
  auto dialog = MakeDialog();
  Type(*dialog, "PhoneNumber", "");
  dialog->accept();
  EXPECT_EQ(BalloonText(), "No valid phone nummber length.");

  Type(*dialog, "PhoneNumber", "0301234;ATH");
  dialog->accept();
  EXPECT_EQ(BalloonText(), "No valid phone nummber.");
  EXPECT_EQ(dialog->focusWidget(), Field<QLineEdit>(*dialog, "PhoneNumber"));

  Choose(*dialog, "LinkKind", "TCP/IP");
  Type(*dialog, "IpPort", "65536");
  dialog->accept();
  EXPECT_EQ(BalloonText(), "Invalid value (must be within 1 and 65535)");
  EXPECT_EQ(dialog->focusWidget(), Field<QLineEdit>(*dialog, "IpPort"));

  EXPECT_TRUE(ui_.save_choosers.empty());
  EXPECT_NE(dialog->result(), QDialog::Accepted);
}

TEST_F(FileLinkDlgTest, OverwriteAnsweredNoKeepsTheFileAndTheEditorOpen) {
  const std::filesystem::path target = dir_.path() / "site.krc";
  guitest::WriteText(target, "keep me");
  auto dialog = MakeDialog();
  Type(*dialog, "PhoneNumber", "112");
  ui_.save_files.push_back(target);
  ui_.answers.push_back(tarvik::MessageAnswer::kNo);

  dialog->accept();

  EXPECT_EQ(ui_.Ids(), std::vector<int>{507});
  EXPECT_EQ(ui_.shown[0].text,
            "The file \"" + target.string() + "\" already exists!\nDo you wish to overwrite it?");
  EXPECT_NE(dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog->connect_requested());
  EXPECT_EQ(guitest::ReadText(target), "keep me");

  ui_.save_files.push_back(target);  // Yes this time
  dialog->accept();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  ASSERT_TRUE(Read(target).has_value());
  EXPECT_EQ(Read(target)->phone_number, "112");
}

TEST_F(FileLinkDlgTest, CancelInTheSaveDialogClosesWithoutWriting) {
  auto dialog = MakeDialog();
  Type(*dialog, "PhoneNumber", "112");
  dialog->accept();
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_FALSE(dialog->saved_path().has_value());
  EXPECT_FALSE(dialog->connect_requested());
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(FileLinkDlgTest, OpeningABrokenFileShows513AndKeepsTheValues) {
  const std::filesystem::path broken = dir_.path() / "broken.krc";
  guitest::WriteText(broken, "krc\x08\x00\x00\x00 not a connection");
  std::vector<std::string> titles;
  std::filesystem::path next = broken;
  auto dialog = MakeDialog();
  dialog->SetOpenFileChooser([&](const std::string& title, const std::filesystem::path&, const std::string&) {
    titles.push_back(title);
    return std::optional<std::filesystem::path>(next);
  });
  Type(*dialog, "PhoneNumber", "4711");

  Field<QPushButton>(*dialog, "OpenExisting")->click();

  EXPECT_EQ(ui_.Ids(), std::vector<int>{513});
  EXPECT_EQ(ui_.shown[0].text, "The file \"" + broken.string() + "\" is not a proper KR Connection File.");
  EXPECT_EQ(Field<QLineEdit>(*dialog, "PhoneNumber")->text().toStdString(), "4711");
  EXPECT_EQ(titles, std::vector<std::string>{"Open existing Connection File for editing"});
}

TEST_F(FileLinkDlgTest, OpeningAFileShowsItAsItStands) {
  // A TCP file written by the editor itself, then opened in a fresh editor.
  {
    auto writer = MakeDialog();
    Choose(*writer, "LinkKind", "Serial line");
    Choose(*writer, "Baud", "115200");
    Choose(*writer, "ComPort", "COM12");
    Field<QSpinBox>(*writer, "ConnectionTimeout")->setValue(750);
    ui_.save_files.push_back(dir_.path() / "bench.krc");
    writer->accept();
    ASSERT_EQ(writer->result(), QDialog::Accepted);
  }
  auto dialog = MakeDialog();
  dialog->SetOpenFileChooser([&](const std::string&, const std::filesystem::path&, const std::string&) {
    return std::optional<std::filesystem::path>(dir_.path() / "bench.krc");
  });
  Field<QPushButton>(*dialog, "OpenExisting")->click();
  EXPECT_EQ(Field<QComboBox>(*dialog, "LinkKind")->currentText().toStdString(), "Serial line");
  EXPECT_EQ(Field<QComboBox>(*dialog, "Baud")->currentText().toStdString(), "115200");
  EXPECT_EQ(Field<QComboBox>(*dialog, "ComPort")->currentText().toStdString(), "COM12");
  EXPECT_EQ(Field<QSpinBox>(*dialog, "ConnectionTimeout")->value(), 750);
  EXPECT_FALSE(Field<QLineEdit>(*dialog, "PhoneNumber")->isEnabled());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST(QtFileFilter, TableFiltersBecomeQtFilters) {
  EXPECT_EQ(tarvik::QtFileFilter("KR Connection Files (*.krc)|*.krc|All Files (*.*)|*.*||").toStdString(),
            "KR Connection Files (*.krc);;All Files (*.*)");
  EXPECT_EQ(tarvik::QtFileFilter("Scripts|*.krs;*.txt||").toStdString(), "Scripts (*.krs *.txt)");
  EXPECT_EQ(tarvik::QtFileFilter("").toStdString(), "");
}

}  // namespace
