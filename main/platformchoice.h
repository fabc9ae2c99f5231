// SPDX-License-Identifier: MIT
#pragma once

#include "common/desktopenvironment.h"

#include <QByteArray>

/// @brief The Qt platform the program asks for, or an empty text to leave it
/// to Qt. In a Wayland session the program runs on X11 through Xwayland
/// where it can, since only there can it place its windows and keep one in
/// front of the others, and on Qt's Wayland platform otherwise. The user's
/// own QT_QPA_PLATFORM always wins.
QByteArray ChooseQtPlatform(const DesktopEnvironment &environment);
