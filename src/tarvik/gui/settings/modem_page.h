#pragma once

#include "krcommon/string_table.h"
#include "tarvik/gui/settings/settings_page.h"

class QComboBox;
class QLineEdit;

namespace tarvik {

// One modem definition ([Modem1] or [Modem2]): its name, port, initialisation and dial command.
// The texts are held to the widths a connection file gives them (50 and 20 characters).
class CModemPage : public CSettingsPage {
 public:
  // `number` is 1 or 2.
  CModemPage(int number, const TarvikSettings& settings, const kr::StringTable& strings,
             QWidget* parent = nullptr);

  void Store(TarvikSettings& settings) const override;

 private:
  ModemDefinition TarvikSettings::*modem_;
  QLineEdit* name_;
  QComboBox* com_;
  QLineEdit* init_;
  QLineEdit* dial_;
};

}  // namespace tarvik
