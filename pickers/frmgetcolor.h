// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QWidget>
#include <memory>

class FrozenScreen;

/// What the main window says when the eyedropper could see nothing of the
/// screen and did not open.
inline const QString kScreenUnreadable = QStringLiteral(u"画面を読み取れませんでした。");

/// @brief The screen eyedropper: a borderless window over the whole desktop
/// that shows a frozen picture of the screen, and on the first release of a
/// mouse button reports the colour of the pixel under the pipette's tip with
/// picked() and closes. Esc closes it without reporting a colour.
///
/// Closing it, in any way, raises closed(). The window deletes itself when it
/// closes.
class FrmGetColor : public QWidget
{
    Q_OBJECT
public:
    /// Creates the window, hidden, over @p screen (the frozen desktop; a null
    /// one shows black).
    explicit FrmGetColor(std::unique_ptr<FrozenScreen> screen);

    /// Lays the window over the whole desktop, shows it and takes the keyboard.
    void showOverDesktop();

    ~FrmGetColor() override;

    /// The frozen desktop picture the window shows, in device pixels.
    const FrozenScreen &screen() const { return *m_screen; }

    /// The colour a release at @p position (window coordinates) takes: the
    /// captured pixel under it, or the window's black background where the
    /// capture has no pixel.
    colour::ColourValue colourAt(QPointF position) const;

Q_SIGNALS:
    /// The colour taken by the first release of a mouse button.
    void picked(colour::ColourValue value);
    /// The window closes, after a pick, on Esc or from outside.
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_MouseUp(QPointF position);

    std::unique_ptr<FrozenScreen> m_screen;
    bool m_picked = false;
};
