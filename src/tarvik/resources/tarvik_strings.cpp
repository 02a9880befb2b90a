#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

kr::StringTable MakeTarvikStringTable() {
  return kr::StringTable({AppStrings(), EventFilesStrings(), EngineStrings(), SettingsStrings(), GuiStrings(),
                          MaintenanceStrings(), ConfigStrings(), MacroStrings(), InfoStrings()});
}

}  // namespace tarvik
