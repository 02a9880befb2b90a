#pragma once

#include "krcommon/string_table.h"
#include "tarvik/gui/settings/settings_page.h"

class QComboBox;

namespace tarvik {

// The port and speed of Direct Link ([Monitoring] COM and BaudRate). The baud rate is chosen from
// the usual rates or typed; the check holds it to the range the start-up accepts.
class CDirectLinkPage : public CSettingsPage {
 public:
  static constexpr int kMinBaudRate = 110;
  static constexpr int kMaxBaudRate = 256000;

  CDirectLinkPage(const TarvikSettings& settings, const kr::StringTable& strings, QWidget* parent = nullptr);

  std::optional<FieldProblem> Validate() const override;
  void Store(TarvikSettings& settings) const override;

 private:
  int BaudRate() const;

  const kr::StringTable& strings_;
  QComboBox* com_;
  QComboBox* baud_rate_;
};

}  // namespace tarvik
