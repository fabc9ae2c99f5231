// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

/// @brief The parts of the environment that tell which desktop the program
/// runs on; each empty when the variable is not set.
struct DesktopEnvironment
{
    QByteArray qtPlatform;     ///< QT_QPA_PLATFORM: the user's own choice
    QByteArray waylandDisplay; ///< WAYLAND_DISPLAY
    QByteArray sessionType;    ///< XDG_SESSION_TYPE
    QByteArray x11Display;     ///< DISPLAY: Xwayland's, in a Wayland session

    /// Read from the process's environment.
    static DesktopEnvironment current();

    /// Whether this is a Wayland session, where only the compositor sees the
    /// whole screen: an X11 program there reads black or nothing of it.
    bool isWayland() const;

    /// Whether any display is named at all: a Qt platform, an X11 display or
    /// a Wayland socket.
    bool hasDisplay() const;
};
