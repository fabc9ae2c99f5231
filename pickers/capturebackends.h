// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/screencapture.h"

/// The capture backends that CreateScreenCapture() chooses from.
namespace pickers {

/// Every screen read through Qt into one picture in the program's memory.
std::unique_ptr<ScreenCapture> CreateQtScreenCapture();

/// The picture kept on the X server; null when the program does not run on
/// X11 or was built without xcb.
std::unique_ptr<ScreenCapture> CreateXcbScreenCapture();

/// @brief The compositor's own copy of its outputs, through a Wayland
/// connection of the program's own; null when no compositor answers or it
/// offers no capture the program knows. A capture that fails gives no
/// picture and is not refused.
std::unique_ptr<ScreenCapture> CreateWaylandScreenCapture();

/// The desktop in device pixels, as the union of every monitor: the extent a
/// backend's picture covers.
QRect DeviceDesktop();

} // namespace pickers
