// SPDX-License-Identifier: MIT
#include "colour/colorbox.h"

#include <QMouseEvent>
#include <QPainter>

ColorBox::ColorBox(QWidget *parent) : QFrame(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool ColorBox::setBackColor(colour::ColourValue value)
{
    if ((value >> 24) != 0)
        return false;
    if (value != m_colour) {
        m_colour = value;
        update();
        Q_EMIT backColorChanged(value);
    }
    return true;
}

void ColorBox::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        const colour::Rgb rgb = colour::SplitRgb(m_colour);
        painter.fillRect(contentsRect(), QColor(rgb.red, rgb.green, rgb.blue));
    }
    QFrame::paintEvent(event);
}

void ColorBox::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button();
    event->accept();
}

void ColorBox::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a press and a release of the same button over the box.
    const bool click = event->button() == m_pressed && rect().contains(event->position().toPoint());
    m_pressed = Qt::NoButton;
    event->accept();
    if (click)
        Q_EMIT clicked(event->button());
}

void ColorBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}
