// SPDX-License-Identifier: MIT
#include "colour/spinarrows.h"

#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kRepeatDelayMs = 500;
constexpr int kRepeatIntervalMs = 50;
} // namespace

SpinArrows::SpinArrows(QWidget *parent) : QAbstractSlider(parent)
{
    setOrientation(Qt::Vertical);
    setRange(0, 255);
    setSingleStep(1);
    setPageStep(16);
    setFocusPolicy(Qt::TabFocus);
}

QSize SpinArrows::sizeHint() const
{
    return {16, 17};
}

SpinArrows::Part SpinArrows::partAt(const QPoint &pos) const
{
    if (!rect().contains(pos))
        return Part::None;
    return pos.y() < height() / 2 ? Part::Up : Part::Down;
}

void SpinArrows::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    const int half = height() / 2;
    const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    const Part parts[] = {Part::Up, Part::Down};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        button.state |= m_pressed == parts[i] ? QStyle::State_Sunken : QStyle::State_Raised;
        painter.drawPrimitive(QStyle::PE_PanelButtonBevel, button);

        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        if (m_pressed == parts[i])
            arrow.rect.translate(1, 1);
        painter.drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                              arrow);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void SpinArrows::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = partAt(event->position().toPoint());
    if (m_pressed == Part::None)
        return;
    const SliderAction action = m_pressed == Part::Up ? SliderSingleStepAdd : SliderSingleStepSub;
    update();
    triggerAction(action);
    setRepeatAction(action, kRepeatDelayMs, kRepeatIntervalMs);
}

void SpinArrows::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = Part::None;
    setRepeatAction(SliderNoAction);
    update();
}

void SpinArrows::wheelEvent(QWheelEvent *event)
{
    // Like the arrows: one step per notch, never a page.
    const int delta = event->angleDelta().y();
    if (delta != 0)
        triggerAction(delta > 0 ? SliderSingleStepAdd : SliderSingleStepSub);
    event->accept();
}
