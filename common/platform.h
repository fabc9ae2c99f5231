// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

/// @brief The operating-system services the windows call directly.
namespace platform {

/// Puts @p window into (@p inFront true) or takes it out of the layer of
/// windows kept above all others. The window keeps its position and size and
/// is shown.
void setAlwaysInFront(QWidget *window, bool inFront);

/// Whether the window manager reports @p window as kept above all others.
/// Only for diagnostics and tests; the program keeps its own state.
bool isAlwaysInFront(const QWidget *window);

/// Whether Qt runs on its Wayland platform, rather than on X11 (through
/// Xwayland in a Wayland session).
bool onWaylandPlatform();

/// Whether the program places its own windows. Not on Qt's Wayland platform,
/// where the compositor places them and the program never learns where.
bool placesWindows();

} // namespace platform
