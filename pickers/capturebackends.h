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

/// The desktop in device pixels, as the union of every monitor: the extent a
/// backend's picture covers.
QRect DeviceDesktop();

} // namespace pickers
