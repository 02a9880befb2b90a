// The small windows on their own: the connect window's buttons and 500 ms status refresh, the
// progress window's cancel, and a picture of every dialog in each language (docs/screenshots) so
// that cut-off German and Chinese texts are seen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "picture_sheet.h"
#include "tarvik/gui/connect_dlg.h"
#include "tarvik/gui/event_dlg.h"
#include "tarvik/gui/modeless_dlg.h"
#include "tarvik/gui/password_dlg.h"
#include "tarvik/gui/start_dlg.h"
#include "tarvik/resources/tarvik_strings.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

std::vector<tarvik::EventListRow> SampleRows() {
  std::vector<tarvik::EventListRow> rows;
  for (int n = 3; n >= 1; --n) {
    tarvik::EventListRow row;
    row.number = n;
    row.type_letter = 'Y';
    row.date = "21.03.24";
    row.time = "20:1" + std::to_string(n) + ":00";
    row.peaks[0] = 2.1405 * n;
    row.peaks[1] = 1.5569;
    row.peaks[2] = 1.379;
    row.samples = 800;
    rows.push_back(row);
  }
  return rows;
}

TEST(ConnectWindow, ConnectStartsTheRefreshAndCancelReportsOnce) {
  const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CConnectDlg dialog(strings);
  int connects = 0;
  int cancels = 0;
  dialog.SetHandlers([&] { ++connects; }, [&] { ++cancels; });
  dialog.Start();
  dialog.SetStatus("Initializing modem...");
  EXPECT_FALSE(dialog.refreshing());
  dialog.connect_button()->click();
  EXPECT_EQ(connects, 1);
  EXPECT_FALSE(dialog.connect_button()->isEnabled());
  EXPECT_TRUE(dialog.refreshing());
  // The text reaches the window at the next 500 ms refresh, not before.
  EXPECT_EQ(dialog.status().toStdString(), "");
  EXPECT_TRUE(WaitUntil([&] { return dialog.status() == "Initializing modem..."; }, 3000));
  const int height = dialog.sizeHint().height();
  dialog.details_button()->click();
  QApplication::processEvents();
  EXPECT_GE(dialog.sizeHint().height(), height + tarvik::CConnectDlg::kDetailsHeight);
  EXPECT_EQ(dialog.details_button()->text().toStdString(), "<< &Details");
  dialog.cancel_button()->click();
  EXPECT_EQ(cancels, 1);
  EXPECT_FALSE(dialog.refreshing());
  EXPECT_FALSE(dialog.isVisible());
  // Closed by the engine (the dialling went on to the log-in): no cancel is reported.
  dialog.Start();
  dialog.Stop();
  EXPECT_EQ(cancels, 1);
}

TEST(ProgressWindow, ButtonAndEscapeCancelTheOperation) {
  const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CModelessDlg dialog(strings);
  int cancels = 0;
  dialog.SetCancelHandler([&] { ++cancels; });
  dialog.Open("Transfer event: 1 of 3.", 3, 0);
  dialog.Update("Transfer event: 2 of 3.", 1);
  EXPECT_EQ(dialog.position(), 1);
  EXPECT_EQ(dialog.total(), 3);
  dialog.Update("Transfer event: 9 of 3.", 9);  // never past the end
  EXPECT_EQ(dialog.position(), 3);
  dialog.cancel_button()->click();
  static_cast<QDialog&>(dialog).reject();  // Escape or the close button
  EXPECT_EQ(cancels, 2);
  // Cancelling asks the engine; the window stays until the engine closes it.
  EXPECT_TRUE(dialog.isVisible());
}

TEST(SingleEventWindow, TransferHandsBackTheChosenFileNumbers) {
  const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CEventDlg dialog(strings, tarvik::CEventDlg::Mode::kChooseForTransfer, 2, SampleRows());
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Transfer single events of KR 2");
  ASSERT_EQ(dialog.table()->rowCount(), 3);
  auto* transfer = dialog.findChild<QPushButton*>("transfer");
  ASSERT_NE(transfer, nullptr);
  EXPECT_FALSE(transfer->isEnabled());
  dialog.table()->selectRow(0);
  dialog.table()->setSelectionMode(QAbstractItemView::MultiSelection);
  dialog.table()->selectRow(2);
  EXPECT_TRUE(transfer->isEnabled());
  EXPECT_EQ(dialog.ChosenFiles(), (std::vector<int>{3, 1}));
}

// Every dialog of one language stacked into one picture.
QImage DialogSheet(const kr::StringTable& strings) {
  std::vector<std::unique_ptr<QWidget>> dialogs;
  dialogs.push_back(
      std::make_unique<tarvik::CPasswordDlg>(strings, QString::fromStdString(strings.Text(471)), "TORVE"));
  auto progress = std::make_unique<tarvik::CModelessDlg>(strings);
  progress->Open(QString::fromStdString(strings.Format(332, 2, 3)), 3, 1);
  dialogs.push_back(std::move(progress));
  auto connect = std::make_unique<tarvik::CConnectDlg>(strings);
  connect->SetDetails(QString::fromStdString(
      strings.Format(9675, 2, 9600, std::string("ATDT"), std::string("0041 44 123 45 67"))));
  connect->Start();
  connect->details_button()->click();
  connect->SetStatus(QString::fromStdString(strings.Text(492)));
  connect->findChildren<QLabel*>().front()->setText(QString::fromStdString(strings.Text(492)));
  dialogs.push_back(std::move(connect));
  dialogs.push_back(std::make_unique<tarvik::CStartDlg>(strings));
  dialogs.push_back(std::make_unique<tarvik::CEventDlg>(strings, tarvik::CEventDlg::Mode::kChooseForTransfer,
                                                        1, SampleRows()));
  std::vector<QImage> pictures;
  for (auto& dialog : dialogs) {
    dialog->adjustSize();
    if (dynamic_cast<tarvik::CEventDlg*>(dialog.get()) != nullptr) dialog->resize(720, 260);
    pictures.push_back(dialog->grab().toImage());
  }
  return PictureSheet(pictures);
}

TEST(DialogPictures, EveryDialogInEveryLanguage) {
  SaveInEveryLanguage("tarvik_dialogs", DialogSheet);
}

}  // namespace
}  // namespace tarvik_gui_test
