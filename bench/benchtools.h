// SPDX-License-Identifier: MIT
// What the eyedropper benchmarks share: medians, clocks, a bounded wait in the
// event loop, and the moment a window has painted for the first time.
#pragma once

#include "pickers/frmgetcolor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

inline double millisecondsSince(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

/// Runs the event loop until @p done() or @p boundMs have passed.
inline void spinUntil(const std::function<bool()> &done, qint64 boundMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < boundMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

/// The eyedropper window the main window's command has opened.
inline FrmGetColor *openEyedropper()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *eyedropper = qobject_cast<FrmGetColor *>(window);
            eyedropper && window->isVisible())
            return eyedropper;
    return nullptr;
}

/// Notes when a window has finished its first paint: the zero timer started
/// from the paint event fires once that paint and its flush to the screen
/// are over. Qt paints a window first once the server has mapped it, and the
/// server paints a window's background as it maps it.
class FirstPaint : public QObject
{
public:
    bool done = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [this] { done = true; });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace bench
