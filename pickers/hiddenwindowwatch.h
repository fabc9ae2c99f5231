// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <chrono>
#include <functional>
#include <vector>

/// @brief Tells when a window that is being hidden has really left the
/// screen, so that a screen capture taken then does not show it.
///
/// Hiding only asks the display server; the window is unmapped a moment
/// later, and the windows below may show its old pixels until they repaint.
/// The watch grabs the screen where the window lies before it is hidden
/// (its inside and its title bar, separately) and after hiding waits until
/// the window is no longer exposed and each of those areas shows something
/// else.
class HiddenWindowWatch
{
public:
    /// Grabs a rectangle of the screen, given in Qt's global coordinates.
    using AreaGrabber = std::function<QImage(const QRect &area)>;

    /// Grabs the screen under @p window now; call it while the window is
    /// still shown. @p grabber defaults to grabScreenArea(); without one
    /// (where the screen cannot be looked at cheaply) only the window's
    /// unmapping is waited for.
    explicit HiddenWindowWatch(QWidget *window, AreaGrabber grabber = grabScreenArea);

    /// Whether the window is unmapped and no watched area shows what it
    /// showed before. An area that cannot be grabbed counts as changed.
    bool gone() const;

    /// Runs the event loop, without user input, until gone() or until
    /// @p bound has passed; returns gone().
    bool wait(std::chrono::milliseconds bound);

    /// The screen's picture of @p area, through Qt.
    static QImage grabScreenArea(const QRect &area);

private:
    struct Area
    {
        QRect rect;
        QImage before;
    };

    QPointer<QWidget> m_window;
    AreaGrabber m_grabber;
    std::vector<Area> m_areas;
};
