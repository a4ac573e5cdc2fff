#pragma once
// The main window's place between runs: taken when the settings are saved, given back when
// the window is created (before it is shown).

#include "settings/window_settings.h"

namespace velmo {

class Tfm_Main;

WindowGeometry CaptureWindowGeometry(const Tfm_Main& window);
// A place that no screen shows any more (a monitor taken away) keeps only the size.
void RestoreWindowGeometry(Tfm_Main& window, const WindowGeometry& geometry);

}  // namespace velmo
