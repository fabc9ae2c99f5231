// SPDX-License-Identifier: MIT
#include "pickers/hiddenwindowwatch.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

/// How often the screen is looked at while waiting.
/// NOTE: the window is usually gone at the second look, so the interval was
/// most of the wait; a look reads back only the window's area, well under a
/// millisecond for a window of the main window's size.
constexpr std::chrono::milliseconds kPollInterval{1};

} // namespace

HiddenWindowWatch::HiddenWindowWatch(QWidget *window, AreaGrabber grabber)
    : m_window(window), m_grabber(std::move(grabber))
{
    // NOTE: a window not yet on the screen shows nothing to compare with;
    // then, as without a grabber, only its unmapping is waited for.
    if (!m_grabber || !window || !window->isVisible() || !window->windowHandle() ||
        !window->windowHandle()->isExposed())
        return;
    const QRect frame = window->frameGeometry();
    const QRect inside(window->mapToGlobal(QPoint(0, 0)), window->size());
    std::vector<QRect> rects{inside};
    if (inside.top() > frame.top())
        rects.emplace_back(frame.left(), frame.top(), frame.width(), inside.top() - frame.top());
    for (const QRect &rect : rects)
        m_areas.push_back({rect, m_grabber(rect)});
}

bool HiddenWindowWatch::gone() const
{
    if (const QWidget *window = m_window.data()) {
        if (window->isVisible())
            return false;
        const QWindow *handle = window->windowHandle();
        if (handle && handle->isExposed())
            return false;
    }
    for (const Area &area : m_areas) {
        if (area.before.isNull())
            continue;
        const QImage now = m_grabber(area.rect);
        if (!now.isNull() && now == area.before)
            return false;
    }
    return true;
}

bool HiddenWindowWatch::wait(std::chrono::milliseconds bound)
{
    if (gone())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollInterval);
    QObject::connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        if (gone())
            loop.quit();
    });
    QTimer::singleShot(bound, &loop, &QEventLoop::quit);
    poll.start();
    // NOTE: no user input in between: the command that hides the window must
    // not be started a second time from a click queued meanwhile.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return gone();
}

QImage HiddenWindowWatch::grabScreenArea(const QRect &area)
{
    QScreen *screen = QGuiApplication::screenAt(area.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QPoint origin = area.topLeft() - screen->geometry().topLeft();
    return screen->grabWindow(0, origin.x(), origin.y(), area.width(), area.height()).toImage();
}
