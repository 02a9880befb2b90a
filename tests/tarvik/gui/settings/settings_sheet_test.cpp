#include "tarvik/gui/settings/settings_sheet.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <optional>

#include "gui_test_support.h"
#include "tarvik/gui/settings/settings_page.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

using guitest::BalloonText;
using guitest::ReadText;

class SettingsSheetTest : public ::testing::Test {
 protected:
  SettingsSheetTest() : strings_(tarvik::MakeTarvikStringTable()) {
    guitest::App();
    file_.emplace(ini_path(), dir_.path());
    EXPECT_TRUE(file_->Save());
    original_ = ReadText(ini_path());
  }

  std::filesystem::path ini_path() const { return dir_.path() / "Tarvik.ini"; }
  tarvik::TarvikSettings& settings() { return file_->settings(); }

  // The sheet over the settings file; `write_ok` false makes writing fail as a full disk would.
  std::unique_ptr<tarvik::CSettingsSheet> MakeSheet(bool write_ok = true) {
    auto sheet = std::make_unique<tarvik::CSettingsSheet>(
        settings(), strings_, ui_,
        [this, write_ok] {
          ++writes_;
          return write_ok && file_->Save();
        },
        nullptr, dir_.path() / "dev");
    sheet->show();
    return sheet;
  }

  template <typename T>
  static T* Field(tarvik::CSettingsSheet& sheet, const char* name) {
    T* field = sheet.findChild<T*>(QLatin1String(name));
    EXPECT_NE(field, nullptr) << name;
    return field;
  }

  static void Type(tarvik::CSettingsSheet& sheet, const char* name, const char* text) {
    Field<QLineEdit>(sheet, name)->setText(QString::fromUtf8(text));
  }

  // A fresh read of the file, as the next start does.
  tarvik::TarvikSettings Reread() const { return tarvik::SettingsFile(ini_path(), dir_.path()).settings(); }

  guitest::TempDir dir_;
  kr::StringTable strings_;
  guitest::FakeUi ui_;
  std::optional<tarvik::SettingsFile> file_;
  std::string original_;
  int writes_ = 0;
};

TEST_F(SettingsSheetTest, KrTimeoutOfNineIsRefusedAtItsFieldAndNothingIsStored) {
  auto sheet = MakeSheet();
  sheet->ShowPage(sheet->pages().back());  // the operator is looking at another page
  Type(*sheet, "ComTimeoutKR", "9");
  Type(*sheet, "ComTimeoutSet", "700");

  sheet->accept();

  EXPECT_NE(sheet->result(), QDialog::Accepted);
  EXPECT_EQ(BalloonText(), "Invalid value (must be within 10 and 10000)");
  QLineEdit* field = Field<QLineEdit>(*sheet, "ComTimeoutKR");
  EXPECT_EQ(sheet->focusWidget(), field);
  EXPECT_TRUE(sheet->current()->isAncestorOf(field));
  EXPECT_EQ(writes_, 0);
  EXPECT_EQ(ReadText(ini_path()), original_);
  EXPECT_EQ(settings().com_timeout_kr, 400);
  EXPECT_EQ(settings().com_timeout_set, 600);
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(SettingsSheetTest, PollingAboveHalfTheSmallerTimeoutIsRefused) {
  auto sheet = MakeSheet();
  Type(*sheet, "ComTimeoutKR", "400");
  Type(*sheet, "ComTimeoutHCU", "300");
  Type(*sheet, "ComPollingTime", "151");

  sheet->accept();

  EXPECT_NE(sheet->result(), QDialog::Accepted);
  EXPECT_EQ(BalloonText(), "Value can be bigger as the half of the KR/HCU Timeout  (within 5 and 150)");
  EXPECT_EQ(sheet->focusWidget(), Field<QLineEdit>(*sheet, "ComPollingTime"));
  EXPECT_EQ(ReadText(ini_path()), original_);
  EXPECT_EQ(settings().com_polling_time, 40);
  EXPECT_EQ(settings().com_timeout_hcu, 400);

  // 150 is exactly half and passes.
  Type(*sheet, "ComPollingTime", "150");
  sheet->accept();
  EXPECT_EQ(sheet->result(), QDialog::Accepted);
  EXPECT_EQ(Reread().com_polling_time, 150);
}

TEST_F(SettingsSheetTest, WithoutBalloonsTheRefusalIsAMessageBox) {
  settings().show_warning_balloons = 0;
  auto sheet = MakeSheet();
  QToolTip::hideText();
  Type(*sheet, "ComTimeoutFp", "30001");

  sheet->accept();

  ASSERT_EQ(ui_.Ids(), std::vector<int>{497});
  EXPECT_EQ(ui_.shown[0].text, "Invalid value (must be within 10 and 30000)");
  EXPECT_EQ(BalloonText(), "");
  EXPECT_EQ(ReadText(ini_path()), original_);
}

TEST_F(SettingsSheetTest, OkWritesEveryPageAndTheNextStartReadsIt) {
  const std::string data = (dir_.path() / "Events").string();
  auto sheet = MakeSheet();
  Type(*sheet, "ComPollingTime", "20");
  Type(*sheet, "ComTimeoutKR", "1000");
  Type(*sheet, "ComTimeoutHCU", "800");
  Type(*sheet, "ComTimeoutSet", "2000");
  Type(*sheet, "ComTimeoutFp", "9000");
  Field<QComboBox>(*sheet, "COM")->setCurrentIndex(2);
  Field<QComboBox>(*sheet, "BaudRate")->setEditText("57600");
  Type(*sheet, "Modem2.ModemIni", "ATZ;ATE0V1");
  Type(*sheet, "Modem2.ModemDial", "ATDP");
  Field<QComboBox>(*sheet, "Modem2.ModemCom")->setCurrentIndex(5);
  Field<QComboBox>(*sheet, "NumRootNameChars")->setCurrentIndex(1);
  Field<QComboBox>(*sheet, "Language")->setCurrentIndex(2);
  Field<QCheckBox>(*sheet, "UsDateFormat")->setChecked(true);
  Field<QCheckBox>(*sheet, "AlwaysAskPassword")->setChecked(false);
  Field<QCheckBox>(*sheet, "LocalTimeCorrection")->setChecked(true);
  Field<QSpinBox>(*sheet, "LocalCorrectionValue")->setValue(-5);
  Type(*sheet, "DataPath", (data + "/").c_str());

  sheet->accept();

  ASSERT_EQ(sheet->result(), QDialog::Accepted);
  const tarvik::TarvikSettings read = Reread();
  EXPECT_EQ(read.com_polling_time, 20);
  EXPECT_EQ(read.com_timeout_kr, 1000);
  EXPECT_EQ(read.com_timeout_hcu, 800);
  EXPECT_EQ(read.com_timeout_set, 2000);
  EXPECT_EQ(read.com_timeout_fp, 9000);
  EXPECT_EQ(read.com, 3);
  EXPECT_EQ(read.baud_rate, 57600);
  EXPECT_EQ(read.modem2.modem_ini, "ATZ;ATE0V1");
  EXPECT_EQ(read.modem2.modem_dial, "ATDP");
  EXPECT_EQ(read.modem2.modem_com, 6);
  EXPECT_EQ(read.modem1.modem_ini, "AT&F;ATE0");
  EXPECT_EQ(read.num_root_name_chars, 1);
  EXPECT_EQ(read.language, 3);
  EXPECT_EQ(read.us_date_format, 1);
  EXPECT_EQ(read.always_ask_password, 0);
  EXPECT_EQ(read.local_time_correction, 1);
  EXPECT_EQ(read.local_correction_value, "-5");
  EXPECT_EQ(read.data_path, std::filesystem::path(data));
  EXPECT_EQ(read.temp_path, dir_.path() / "Temp");
  EXPECT_NE(ReadText(ini_path()).find("ComTimeoutKR=1000"), std::string::npos);
}

TEST_F(SettingsSheetTest, SerialPortsPageOffersStableNamesFirstAndWritesTheMapping) {
  const std::filesystem::path dev = dir_.path() / "dev";
  const std::filesystem::path by_id = dev / "serial" / "by-id";
  std::filesystem::create_directories(by_id);
  guitest::WriteText(dev / "ttyS0", "");
  guitest::WriteText(dev / "ttyUSB0", "");
  std::filesystem::create_symlink("../../ttyUSB0", by_id / "usb-KR_Cable_A1-if00-port0");
  const std::string stable = (by_id / "usb-KR_Cable_A1-if00-port0").string();

  auto sheet = MakeSheet();
  QComboBox* com3 = Field<QComboBox>(*sheet, "COM3");
  ASSERT_EQ(com3->count(), 3);
  EXPECT_EQ(com3->itemText(0).toStdString(), stable);
  EXPECT_EQ(com3->currentText().toStdString(), "/dev/ttyS2");
  QListWidget* present = Field<QListWidget>(*sheet, "DevicesPresent");
  ASSERT_EQ(present->count(), 3);
  EXPECT_EQ(present->item(0)->text().toStdString(), stable + "  \u2192  ttyUSB0");
  EXPECT_EQ(present->item(1)->text().toStdString(), (dev / "ttyS0").string());

  com3->setCurrentIndex(0);
  Field<QComboBox>(*sheet, "COM4")->setEditText("");
  Field<QComboBox>(*sheet, "COM16")->setEditText("/dev/ttyACM3");
  sheet->accept();

  ASSERT_EQ(sheet->result(), QDialog::Accepted);
  const std::string text = ReadText(ini_path());
  EXPECT_NE(text.find("[SerialPorts]"), std::string::npos);
  EXPECT_NE(text.find("COM3=" + stable), std::string::npos);
  const tarvik::TarvikSettings read = Reread();
  EXPECT_EQ(read.serial_ports.DevicePath(3), stable);
  EXPECT_EQ(read.serial_ports.DevicePath(4), "/dev/ttyS3");
  EXPECT_EQ(read.serial_ports.DevicePath(16), "/dev/ttyACM3");
}

TEST_F(SettingsSheetTest, FoldersAndDevicesMustBeFullPaths) {
  auto sheet = MakeSheet();
  Field<QComboBox>(*sheet, "COM2")->setEditText("ttyUSB1");
  sheet->accept();
  EXPECT_EQ(BalloonText(), "Please enter a full path (beginning with \"/\").");
  EXPECT_EQ(sheet->focusWidget(), Field<QComboBox>(*sheet, "COM2"));

  Field<QComboBox>(*sheet, "COM2")->setEditText("/dev/ttyUSB1");
  Type(*sheet, "InstantPath", "Instant");
  sheet->accept();
  EXPECT_EQ(sheet->focusWidget(), Field<QLineEdit>(*sheet, "InstantPath"));
  EXPECT_EQ(sheet->current(), sheet->pages().back());
  EXPECT_EQ(ReadText(ini_path()), original_);
  EXPECT_EQ(settings().serial_ports.DevicePath(2), "/dev/ttyS1");
}

TEST_F(SettingsSheetTest, BaudRateOutsideTheStartupRangeIsRefused) {
  auto sheet = MakeSheet();
  Field<QComboBox>(*sheet, "BaudRate")->setEditText("300000");
  sheet->accept();
  EXPECT_EQ(BalloonText(), "Invalid value (must be within 110 and 256000)");
  EXPECT_EQ(ReadText(ini_path()), original_);
}

TEST_F(SettingsSheetTest, AFailedWriteKeepsTheSheetOpenAndTheSettingsAsBefore) {
  auto sheet = MakeSheet(/*write_ok=*/false);
  Type(*sheet, "ComTimeoutKR", "900");
  sheet->accept();
  EXPECT_EQ(writes_, 1);
  EXPECT_NE(sheet->result(), QDialog::Accepted);
  EXPECT_EQ(settings().com_timeout_kr, 400);
}

TEST_F(SettingsSheetTest, BranchShowsTheHintAndBrowseFillsTheFolder) {
  auto sheet = MakeSheet();
  sheet->ShowBranch();
  auto* hint = qobject_cast<QLabel*>(sheet->current());
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->text().toStdString(), "Please select a child item of 'Communication'.");

  ui_.folders.push_back("/srv/kr/param");
  Field<QPushButton>(*sheet, "ParameterPath.Browse")->click();
  ASSERT_EQ(ui_.folder_choosers.size(), 1u);
  EXPECT_EQ(ui_.folder_choosers[0].directory, dir_.path() / "Param");
  EXPECT_EQ(Field<QLineEdit>(*sheet, "ParameterPath")->text().toStdString(), "/srv/kr/param");
}

TEST_F(SettingsSheetTest, ClearingTheFolderHistoryEmptiesIt) {
  settings().local_events_history = {"/a/", "/b/", "", "", ""};
  auto sheet = MakeSheet();
  EXPECT_EQ(Field<QListWidget>(*sheet, "LocalEventsHistory")->count(), 2);
  Field<QPushButton>(*sheet, "ClearHistory")->click();
  sheet->accept();
  ASSERT_EQ(sheet->result(), QDialog::Accepted);
  EXPECT_EQ(Reread().local_events_history[0], "");
}

}  // namespace
