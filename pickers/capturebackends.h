// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/screencapture.h"

#include <chrono>

/// The capture backends that CreateScreenCapture() chooses from.
namespace pickers {

/// Every screen read through Qt into one picture in the program's memory.
std::unique_ptr<ScreenCapture> CreateQtScreenCapture();

/// How long the X11 capture keeps its picture's room on the server after the
/// last pick or preparation.
inline constexpr std::chrono::milliseconds kKeepPicture{60000};

/// The picture kept on the X server; null when the program does not run on
/// X11 or was built without xcb. The room for the picture stays on the server
/// between picks, and is given back after @p keep without one.
std::unique_ptr<ScreenCapture>
CreateXcbScreenCapture(std::chrono::milliseconds keep = kKeepPicture);

/// @brief The compositor's own copy of its outputs, through a Wayland
/// connection of the program's own; null when no compositor answers or it
/// offers no capture the program knows. A capture that fails gives no
/// picture and is not refused.
std::unique_ptr<ScreenCapture> CreateWaylandScreenCapture();

/// The desktop in device pixels, as the union of every monitor: the extent a
/// backend's picture covers.
QRect DeviceDesktop();

} // namespace pickers
