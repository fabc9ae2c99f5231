// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class ColorBox;
class QLabel;

/// @brief The palette window "Color": a field of hues and lightnesses and two
/// swatches that keep the colours last taken with the left and the right
/// mouse button.
///
/// Pressing on the field, and dragging with the button held, reports the
/// colour under the pointer for the main window's sliders; clicking a swatch
/// reports its colour for the main window's hex boxes. The window is a tool
/// window owned by the main window and opens against its right edge.
class FrmColor : public QWidget
{
    Q_OBJECT
public:
    /// Creates the window (hidden) owned by @p mainWindow and places it
    /// against the main window's right edge (Form_Load).
    explicit FrmColor(QWidget *mainWindow);

    /// @name Handlers of the palette picture Picture1.
    /// @p button and @p buttons use the codes 1 left, 2 right, 4 middle (for
    /// a move, the sum of the buttons held); @p point is relative to the
    /// picture's inner area, in pixels.
    ///@{
    void Picture1_MouseDown(int button, QPoint point);
    void Picture1_MouseMove(int buttons, QPoint point);
    void Picture1_MouseUp(int button, QPoint point);
    ///@}

    /// Reports the left swatch's colour with colourForHexTexts().
    void nowColorL_Click();
    /// Reports the right swatch's colour with colourForHexTexts().
    void nowColorR_Click();

Q_SIGNALS:
    /// A colour taken from the field, to be stored into the sliders.
    void colourForSliders(colour::ColourValue value);
    /// A swatch's colour, to be stored into the hex boxes.
    void colourForHexTexts(colour::ColourValue value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load(QWidget *mainWindow);
    static bool isFramed(const QWidget &mainWindow);
    void dockTo(const QWidget &mainWindow);
    void pickAtPointer(int button, QPoint point, bool releasing);
    void sendSwatch(const ColorBox *swatch);

    QImage m_palette;
    QLabel *m_picture = nullptr;
    ColorBox *m_left = nullptr;
    ColorBox *m_right = nullptr;
    bool m_buttonHeld = false;
    /// The main window while the palette waits for its frame to dock to.
    QPointer<QWidget> m_awaitedFrame;
};
