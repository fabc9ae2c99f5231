// SPDX-License-Identifier: MIT
#include "dialogs/wrapcheckbox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

WrapCheckBox::WrapCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent) {}

void WrapCheckBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    // The style draws the box alone; the caption is drawn here, wrapped into
    // the room beside the box.
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);

    option.text = caption;
    QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    textRect.setTop(0);
    textRect.setBottom(height() - 1);
    textRect.setRight(width() - 1);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    painter.drawItemText(textRect, flags, option.palette, isEnabled(), caption,
                         QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = painter.fontMetrics()
                         .boundingRect(textRect, flags, caption)
                         .adjusted(-1, 0, 1, 0)
                         .intersected(rect());
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrapCheckBox::hitButton(const QPoint &pos) const
{
    // The whole box takes the click, the second line of the caption included.
    return rect().contains(pos);
}
