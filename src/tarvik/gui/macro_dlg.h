#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "krcommon/string_table.h"

namespace tarvik {

// Operate > Run Macro: the macro's commands, typed in, or "Script: FILE" for a macro file chosen with
// Browse. The folder of the chosen file is where "Script:" looks for it; the caller keeps it for the
// next time the dialog opens.
class CMacroDlg : public QDialog {
  Q_OBJECT

 public:
  CMacroDlg(const kr::StringTable& strings, const QString& text, std::filesystem::path directory,
            QWidget* parent = nullptr);

  QString text() const { return edit_->toPlainText(); }
  const std::filesystem::path& directory() const { return directory_; }
  // What Browse does with the file chosen: "Script: NAME" into the field, its folder remembered.
  void UseChosenFile(const std::filesystem::path& file);

  QPlainTextEdit* edit() { return edit_; }
  QPushButton* browse_button() { return browse_; }

 private:
  void Browse();

  const kr::StringTable& strings_;
  std::filesystem::path directory_;
  QPlainTextEdit* edit_;
  QPushButton* browse_;
};

}  // namespace tarvik
