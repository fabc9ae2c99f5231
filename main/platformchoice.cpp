// SPDX-License-Identifier: MIT
#include "main/platformchoice.h"

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

QByteArray ChooseQtPlatform(const DesktopEnvironment &environment)
{
    if (!environment.qtPlatform.isEmpty() || !environment.isWayland())
        return {};
    // NOTE: Qt takes a list and uses the first platform that starts, so a
    // DISPLAY whose Xwayland is gone still ends on the Wayland platform.
    if (!environment.x11Display.isEmpty())
        return QByteArrayLiteral("xcb;wayland");
    return QByteArrayLiteral("wayland");
}
