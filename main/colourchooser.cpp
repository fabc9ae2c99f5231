// SPDX-License-Identifier: MIT
#include "main/colourchooser.h"

#include <QColorDialog>

std::optional<colour::ColourValue> DialogColourChooser::choose(QWidget *parent,
                                                               colour::ColourValue initial)
{
    const colour::Rgb rgb = colour::SplitRgb(initial);
    const QColor start(rgb.red, rgb.green, rgb.blue);
    QColorDialog dialog(start, parent);
    dialog.setObjectName(QStringLiteral("CDialog1"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return std::nullopt;
    return colour::MakeColourValue(chosen.red(), chosen.green(), chosen.blue());
}
