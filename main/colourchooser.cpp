// SPDX-License-Identifier: MIT
#include "main/colourchooser.h"

#include <QColorDialog>

std::optional<colour::ColourValue> DialogColourChooser::choose(QWidget *parent,
                                                               colour::ColourValue initial)
{
    const QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                       static_cast<int>((initial >> 16) & 0xFF));
    QColorDialog dialog(start, parent);
    dialog.setObjectName(QStringLiteral("CDialog1"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return std::nullopt;
    return colour::MakeColourValue(chosen.red(), chosen.green(), chosen.blue());
}
