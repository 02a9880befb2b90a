#include "tarvik/gui/macro_dlg.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "tarvik/gui/file_filter.h"
#include "tarvik/gui/gui_text.h"

namespace tarvik {

namespace {
constexpr int kTitle = 9850;
constexpr int kLabel = 9851;
constexpr int kBrowse = 9852;
constexpr int kOpenTitle = 422;
constexpr int kScriptFilter = 424;
}  // namespace

CMacroDlg::CMacroDlg(const kr::StringTable& strings, const QString& text, std::filesystem::path directory,
                     QWidget* parent)
    : QDialog(parent),
      strings_(strings),
      directory_(std::move(directory)),
      edit_(new QPlainTextEdit(text, this)),
      browse_(new QPushButton(Text(strings, kBrowse), this)) {
  setObjectName("CMacroDlg");
  setWindowTitle(Text(strings, kTitle));
  edit_->setObjectName("macro");
  // Commands are typed as the recorder reads them: no wrapping that would hide where a line ends.
  edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  browse_->setObjectName("browse");
  browse_->setAutoDefault(false);
  connect(browse_, &QPushButton::clicked, this, &CMacroDlg::Browse);

  auto* label = new QLabel(Text(strings, kLabel), this);
  label->setBuddy(edit_);
  label->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(strings, gui_text::kCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(edit_, 1);
  // Browse belongs to the text, apart from OK and Cancel.
  auto* row = new QHBoxLayout;
  row->addWidget(browse_);
  row->addStretch(1);
  row->addWidget(buttons);
  layout->addLayout(row);
  resize(520, 260);
  edit_->setFocus();
}

void CMacroDlg::UseChosenFile(const std::filesystem::path& file) {
  directory_ = file.parent_path();
  edit_->setPlainText(QString("Script: %1").arg(Q(file.filename().string())));
}

void CMacroDlg::Browse() {
  QFileDialog dialog(this, Text(strings_, kOpenTitle), Q(directory_.string()));
  dialog.setObjectName("OpenMacroFile");
  dialog.setFileMode(QFileDialog::ExistingFile);
  QStringList filters;
  for (const std::string& filter : QtNameFilters(strings_.Text(kScriptFilter))) filters << Q(filter);
  dialog.setNameFilters(filters);
  if (QGuiApplication::platformName() == "offscreen") dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  UseChosenFile(dialog.selectedFiles().front().toStdString());
}

}  // namespace tarvik
