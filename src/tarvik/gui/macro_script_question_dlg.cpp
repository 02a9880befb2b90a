#include "tarvik/gui/macro_script_question_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tarvik/gui/gui_text.h"

namespace tarvik {

namespace {
constexpr int kTitle = 9853;
}  // namespace

CMacroScriptQuestionDlg::CMacroScriptQuestionDlg(const kr::StringTable& strings, const QString& label,
                                                 QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(this)) {
  setObjectName("CMacroScriptQuestionDlg");
  setWindowTitle(Text(strings, kTitle));
  edit_->setObjectName("answer");
  // The prompt is the macro's own text, shown as written (no mnemonics, no markup).
  auto* prompt = new QLabel(this);
  prompt->setTextFormat(Qt::PlainText);
  prompt->setText(label);
  prompt->setWordWrap(true);
  prompt->setObjectName("prompt");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(strings, gui_text::kCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  setMinimumWidth(320);
  edit_->setFocus();
}

}  // namespace tarvik
