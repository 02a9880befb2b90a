#pragma once

#include <filesystem>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/gui/settings/settings_page.h"

class QComboBox;

namespace tarvik {

// [SerialPorts]: which device each of COM1..COM16 opens. Each port offers the serial devices present
// (the stable /dev/serial/by-id/ names first) and takes any typed full path; an empty field means the
// port's default device. Below, the devices present are listed with what a by-id name points to.
class CSerialPortsPage : public CSettingsPage {
 public:
  CSerialPortsPage(const TarvikSettings& settings, const kr::StringTable& strings,
                   const std::filesystem::path& dev_root, QWidget* parent = nullptr);

  std::optional<FieldProblem> Validate() const override;
  void Store(TarvikSettings& settings) const override;

 private:
  const kr::StringTable& strings_;
  std::vector<QComboBox*> devices_;  // COM1 first
};

}  // namespace tarvik
