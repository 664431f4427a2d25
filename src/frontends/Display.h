// Whether windows can be shown: decided before the windows front end (and Qt with it) is
// loaded, so that the console and batch program never loads Qt.
#pragma once

namespace ui {

// True when the environment names a display that can be used: $QT_QPA_PLATFORM set, or a
// $WAYLAND_DISPLAY or local $DISPLAY whose socket answers (a remote $DISPLAY is trusted).
bool DisplayAvailable();

}  // namespace ui
