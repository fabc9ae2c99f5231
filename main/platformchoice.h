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
    /// whole screen.
    bool isWayland() const;
};

/// @brief The Qt platform the program asks for, or an empty text to leave it
/// to Qt. In a Wayland session the program runs on X11 through Xwayland
/// where it can, since only there can it place its windows and keep one in
/// front of the others, and on Qt's Wayland platform otherwise. The user's
/// own QT_QPA_PLATFORM always wins.
QByteArray ChooseQtPlatform(const DesktopEnvironment &environment);
