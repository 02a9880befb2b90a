// Pictures of every page of the Settings dialog and of the connection editor in each language, for
// docs/screenshots/ (and for looking at cut-off texts after a change of layout or wording).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QPixmap>
#include <QTreeWidget>

#include "gui_test_support.h"
#include "tarvik/gui/settings/file_link_dlg.h"
#include "tarvik/gui/settings/settings_page.h"
#include "tarvik/gui/settings/settings_sheet.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

struct Language {
  int setting;
  const char* suffix;
};
constexpr Language kLanguages[] = {{0, "en"}, {1, "de"}, {3, "zh"}};
// File names of the pages, in tree order.
constexpr const char* kPageNames[] = {"timeouts",    "direct_link", "modem1",       "modem2", "serial_ports",
                                      "memory_card", "appearance",  "local_events", "paths"};

std::filesystem::path Shot(const std::string& name, const char* suffix) {
  const std::filesystem::path dir = KR_SCREENSHOT_DIR;
  std::filesystem::create_directories(dir);
  return dir / (name + "_" + suffix + ".png");
}

void Save(QWidget& window, const std::filesystem::path& path) {
  QApplication::processEvents();
  const QPixmap picture = window.grab();
  ASSERT_FALSE(picture.isNull());
  ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG")) << path;
}

class Screenshots : public ::testing::Test {
 protected:
  Screenshots() {
    guitest::App();
    settings_ = tarvik::DefaultSettings("/home/operator/Documents/Tarvik");
    settings_.local_events_history = {"/home/operator/Documents/Tarvik/Data/",
                                      "/media/operator/KR-CARD/Events/", "", "", ""};
    std::filesystem::remove_all(dev_);
    const std::filesystem::path by_id = dev_ / "serial" / "by-id";
    std::filesystem::create_directories(by_id);
    for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyACM0"}) guitest::WriteText(dev_ / name, "");
    std::filesystem::create_symlink("../../ttyUSB0", by_id / "usb-FTDI_KR_Cable_A10K3XQ2-if00-port0");
    settings_.serial_ports.SetDevicePath(3, (by_id / "usb-FTDI_KR_Cable_A10K3XQ2-if00-port0").string());
  }

  ~Screenshots() override {
    std::error_code error;
    std::filesystem::remove_all(dev_, error);
  }

  // Always the same folder, so that the pictures do not change from one run to the next.
  const std::filesystem::path dev_ = std::filesystem::temp_directory_path() / "tarvik-screenshot-dev";
  tarvik::TarvikSettings settings_;
  guitest::FakeUi ui_;
};

TEST_F(Screenshots, EverySettingsPageInEveryLanguage) {
  for (const Language& language : kLanguages) {
    kr::StringTable strings = tarvik::MakeTarvikStringTable();
    strings.SetLanguage(kr::LanguageFromSetting(language.setting));
    tarvik::CSettingsSheet sheet(
        settings_, strings, ui_, [] { return true; }, nullptr, dev_);
    sheet.show();
    sheet.ShowBranch();
    Save(sheet, Shot("settings_communication", language.suffix));
    ASSERT_EQ(sheet.pages().size(), std::size(kPageNames));
    for (size_t i = 0; i < sheet.pages().size(); ++i) {
      sheet.ShowPage(sheet.pages()[i]);
      Save(sheet, Shot(std::string("settings_") + kPageNames[i], language.suffix));
    }
  }
}

TEST_F(Screenshots, ConnectionEditorInEveryLanguage) {
  for (const Language& language : kLanguages) {
    kr::StringTable strings = tarvik::MakeTarvikStringTable();
    strings.SetLanguage(kr::LanguageFromSetting(language.setting));
    tarvik::CFileLinkDlg dialog(settings_, strings, ui_, tarvik::HostResolver());
    dialog.show();
    Save(dialog, Shot("file_link_modem", language.suffix));
    QComboBox* kind = dialog.findChild<QComboBox*>("LinkKind");
    ASSERT_NE(kind, nullptr);
    kind->setCurrentIndex(kind->findData(tarvik::ToInt(tarvik::LinkKind::kTcp)));
    Save(dialog, Shot("file_link_tcp", language.suffix));
  }
}

}  // namespace
