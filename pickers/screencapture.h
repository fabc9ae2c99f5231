// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <memory>

/// @brief Reads the whole desktop picture, every screen included.
///
/// The eyedropper window only sees this interface, so another backend (a
/// desktop portal, say) can be added without touching it.
class ScreenCapture
{
public:
    virtual ~ScreenCapture() = default;
    /// The desktop in device pixels, its top-left pixel at the virtual
    /// desktop's top-left corner. A null image when the capture failed.
    virtual QImage grab() = 0;
};

/// The backend for the running platform.
std::unique_ptr<ScreenCapture> CreateScreenCapture();

/// The backend for Wayland sessions: the desktop portal's screenshot.
std::unique_ptr<ScreenCapture> CreatePortalScreenCapture();
