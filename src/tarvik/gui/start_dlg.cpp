#include "tarvik/gui/start_dlg.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "kr_version.h"
#include "tarvik/gui/gui_text.h"

namespace tarvik {

CStartDlg::CStartDlg(const kr::StringTable& strings, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("CStartDlg");
  setModal(false);
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/tarvik/tarvik.svg").pixmap(64, 64));
  auto* name = new QLabel("<b style='font-size:18pt'>Tarvik</b>", this);
  auto* version = new QLabel(Q(strings.Format(gui_text::kVersion, std::string(kr::kAppVersion))), this);
  auto* what = new QLabel(Text(strings, gui_text::kProgramDescription), this);
  what->setWordWrap(true);
  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(version);
  texts->addWidget(what);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->addWidget(icon, 0, Qt::AlignTop);
  layout->addLayout(texts, 1);
  setFixedWidth(420);
  setStyleSheet("CStartDlg { border: 1px solid palette(mid); }");
}

}  // namespace tarvik
