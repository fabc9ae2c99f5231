// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/screencapture.h"

/// @brief The capture backends behind CreateScreenCapture().
namespace pickers {

/// Grabs every screen through Qt and puts the pictures together; works on
/// every platform whose Qt plugin can read the screen.
std::unique_ptr<ScreenCapture> CreateQtScreenCapture();

/// Reads the X root window, which is the whole desktop with every monitor,
/// in one image request. Null when Qt does not run on X11 or the root's pixel
/// layout is not 32-bit RGB; its grab() hands over to @p fallback whenever
/// the X server refuses the picture.
std::unique_ptr<ScreenCapture> CreateXcbScreenCapture(std::unique_ptr<ScreenCapture> fallback);

} // namespace pickers
