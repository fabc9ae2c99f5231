// SPDX-License-Identifier: MIT
#include "common/platform.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace platform {

void setAlwaysInFront(QWidget *window, bool inFront)
{
    if (!window)
        return;
    // NOTE: QWidget::setWindowFlag() would destroy and re-create the native
    // window on X11 (flicker, lost focus, a new window id). Changing the flag
    // on the existing window handle sends the window manager the standard
    // state request instead.
    window->winId(); // make sure the native window exists
    QWindow *handle = window->windowHandle();
    if (!handle)
        return;
    Qt::WindowFlags flags = handle->flags();
    flags.setFlag(Qt::WindowStaysOnTopHint, inFront);
    flags.setFlag(Qt::WindowStaysOnBottomHint, false);
    if (flags != handle->flags())
        handle->setFlags(flags);
    // Keep the widget's own idea of its flags in line without re-creating it.
    window->overrideWindowFlags(flags);
    window->show();
}

bool isAlwaysInFront(const QWidget *window)
{
    if (!window || !window->windowHandle())
        return false;
    return window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

bool onWaylandPlatform()
{
    // "wayland", "wayland-egl" and the like.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool placesWindows()
{
    return !onWaylandPlatform();
}

} // namespace platform
