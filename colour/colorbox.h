// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QFrame>

/// @brief A plain box that shows one colour value as its background.
///
/// Used for the main window's preview and the palette window's swatches.
class ColorBox : public QFrame
{
    Q_OBJECT
public:
    explicit ColorBox(QWidget *parent = nullptr);

    colour::ColourValue backColor() const { return m_colour; }
    /// Shows @p value at once. Only the low 24 bits are a colour; a value
    /// with any of the top bits set is refused and changes nothing.
    bool setBackColor(colour::ColourValue value);

Q_SIGNALS:
    /// The box shows a different colour.
    void backColorChanged(colour::ColourValue value);
    void clicked(Qt::MouseButton button);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    colour::ColourValue m_colour = 0;
    Qt::MouseButton m_pressed = Qt::NoButton;
};
