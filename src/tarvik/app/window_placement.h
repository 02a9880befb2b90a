#pragma once

#include <optional>

#include "tarvik/app/tarvik_settings.h"

namespace tarvik {

enum class WindowShowState { kNormal, kMinimized, kMaximized };

// The main window's placement as the window system reports it, and as it is to be restored.
struct WindowPlacement {
  WindowShowState state = WindowShowState::kNormal;
  // While minimised: the window comes back maximised when restored.
  bool restore_to_maximized = false;
  // The rectangle of the window in its normal (not minimised, not maximised) state.
  std::optional<WindowRect> normal_rect;
};

// When the main window closes: minimised -> MainIconic 1 and MainMaximized = restore-to-maximised;
// maximised -> 0 and 1; normal -> both 0. MainRect takes the normal rectangle (kept as it was when
// the window system gives none).
void StoreMainPlacement(const WindowPlacement& placement, TarvikSettings& settings);

// How the main window is first shown: minimised when the command line says so or it was closed
// minimised (then restoring it maximises it when it was maximised before), else maximised or normal
// as stored; the normal rectangle from MainRect.
WindowPlacement InitialMainPlacement(const TarvikSettings& settings, bool start_minimized);

}  // namespace tarvik
