#include "tarvik/app/window_placement.h"

namespace tarvik {

void StoreMainPlacement(const WindowPlacement& placement, TarvikSettings& settings) {
  switch (placement.state) {
    case WindowShowState::kMinimized:
      settings.main_iconic = 1;
      settings.main_maximized = placement.restore_to_maximized ? 1 : 0;
      break;
    case WindowShowState::kMaximized:
      settings.main_iconic = 0;
      settings.main_maximized = 1;
      break;
    case WindowShowState::kNormal:
      settings.main_iconic = 0;
      settings.main_maximized = 0;
      break;
  }
  if (placement.normal_rect) settings.main_rect = placement.normal_rect;
}

WindowPlacement InitialMainPlacement(const TarvikSettings& settings, bool start_minimized) {
  WindowPlacement placement;
  placement.normal_rect = settings.main_rect;
  if (start_minimized || settings.main_iconic != 0) {
    placement.state = WindowShowState::kMinimized;
    placement.restore_to_maximized = settings.main_maximized != 0;
  } else if (settings.main_maximized != 0) {
    placement.state = WindowShowState::kMaximized;
  }
  return placement;
}

}  // namespace tarvik
