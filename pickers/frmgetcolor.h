// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class ChannelControls;
class FrozenScreen;
class ScreenCapture;
struct AppOptions;

/// @brief The screen eyedropper: a borderless window over the whole desktop
/// that shows a frozen picture of the screen, and on the first release of a
/// mouse button hands the colour of the pixel under the pipette's tip to the
/// main window and closes. Esc closes it without taking a colour.
///
/// Closing it, in any way, shows the main window again.
class FrmGetColor : public QWidget
{
    Q_OBJECT
public:
    /// @brief The main window's eyedropper command: takes @p mainWindow out of
    /// the always-in-front layer, hides it (when options.hideDokodemo is 1)
    /// or shows it, captures the desktop with @p capture and shows the
    /// picture in a new eyedropper window, which it returns at once. The
    /// window deletes itself when it closes. When the capture is refused no
    /// window opens: the main window is shown again and the result is null.
    static FrmGetColor *start(QWidget *mainWindow, const AppOptions &options,
                              ChannelControls &channels, ScreenCapture &capture);

    ~FrmGetColor() override;

    /// The frozen desktop picture the window shows, in device pixels.
    const FrozenScreen &screen() const { return *m_screen; }

    /// The colour a release at @p position (window coordinates) takes: the
    /// captured pixel under it, or the window's black background where the
    /// capture has no pixel.
    colour::ColourValue colourAt(QPointF position) const;

    /// How long start() waits at most for the hidden main window to leave
    /// the screen before it captures.
    static constexpr int kHideWaitMs = 300;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    FrmGetColor(QWidget *mainWindow, ChannelControls &channels,
                std::unique_ptr<FrozenScreen> screen);
    void showOverDesktop();
    void Form_MouseUp(QPointF position);

    QPointer<QWidget> m_mainWindow;
    QPointer<ChannelControls> m_channels;
    std::unique_ptr<FrozenScreen> m_screen;
    bool m_picked = false;
};
