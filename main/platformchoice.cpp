// SPDX-License-Identifier: MIT
#include "main/platformchoice.h"

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
