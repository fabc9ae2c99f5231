// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QWidget>
#include <memory>

class FrozenScreen;
class LoupeView;

/// What the main window says when the eyedropper could see nothing of the
/// screen and did not open.
inline const QString kScreenUnreadable = QStringLiteral(u"画面を読み取れませんでした。");

/// @brief The screen eyedropper: a borderless window over the whole desktop
/// that shows a frozen picture of the screen, and on the first release of a
/// mouse button reports the colour of the pixel under the pipette's tip with
/// picked() and closes. Esc closes it without reporting a colour.
///
/// A loupe beside the pointer shows the captured pixels around the hotspot.
/// The arrow keys move the pointer one device pixel (ten with Shift), and
/// Enter or Space picks the pixel under it as a release there would. Where
/// the system does not let a program move the pointer, the keys move the
/// loupe's centre alone, and Enter picks the pixel under that.
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

    /// The letter case of the code under the loupe: the main window's.
    void setLetterCase(colour::LetterCase letterCase) { m_letterCase = letterCase; }

    ~FrmGetColor() override;

    /// The frozen desktop picture the window shows, in device pixels.
    const FrozenScreen &screen() const { return *m_screen; }

    /// The colour a release at @p position (window coordinates) takes: the
    /// captured pixel under it, or the window's black background where the
    /// capture has no pixel.
    colour::ColourValue colourAt(QPointF position) const;

    /// The loupe (null until the window shows), and the captured pixel
    /// (device pixels) at its centre, which Enter and Space pick.
    LoupeView *loupe() const { return m_loupe; }
    QPoint loupeCentre() const { return m_centre; }

Q_SIGNALS:
    /// The colour taken by the first release of a mouse button.
    void picked(colour::ColourValue value);
    /// The window closes, after a pick, on Esc or from outside.
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_MouseUp(QPointF position);
    void pick(colour::ColourValue value);
    colour::ColourValue colourAtDevice(QPoint device) const;
    QRect deviceBounds() const;
    QRect screenBounds(QPoint hotspot) const;
    void centreLoupe(QPoint device);
    void stepPointer(QPoint step);

    std::unique_ptr<FrozenScreen> m_screen;
    bool m_picked = false;
    colour::LetterCase m_letterCase = colour::LetterCase::Upper;
    LoupeView *m_loupe = nullptr;
    QPoint m_centre;
    /// Where the keys sent the pointer, in window coordinates, until the
    /// moves come back as pointer events.
    QList<QPoint> m_warps;
};
