// SPDX-License-Identifier: MIT
#include "common/desktopenvironment.h"

#include <QtGlobal>

DesktopEnvironment DesktopEnvironment::current()
{
    return {qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"),
            qgetenv("DISPLAY")};
}

bool DesktopEnvironment::isWayland() const
{
    return !waylandDisplay.isEmpty() || sessionType == "wayland";
}

bool DesktopEnvironment::hasDisplay() const
{
    return !qtPlatform.isEmpty() || !x11Display.isEmpty() || !waylandDisplay.isEmpty();
}
