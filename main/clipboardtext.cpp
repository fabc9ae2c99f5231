// SPDX-License-Identifier: MIT
#include "main/clipboardtext.h"

#include <QStringList>

namespace {
const QString kNone = QStringLiteral(u"なし");
}

QString ClipboardText(const QString &attributeName, const QString &code,
                      colour::LetterCase letterCase)
{
    if (attributeName == kNone)
        return code;
    const QString text = attributeName + QStringLiteral("=\"") + code + u'"';
    return colour::ApplyLetterCase(text, letterCase == colour::LetterCase::Upper
                                             ? colour::LetterCase::Upper
                                             : colour::LetterCase::Lower);
}

QStringList AttributeNames()
{
    return {kNone,
            QStringLiteral("BGCOLOR"),
            QStringLiteral("LINK"),
            QStringLiteral("ALINK"),
            QStringLiteral("VLINK"),
            QStringLiteral("COLOR"),
            QStringLiteral("BORDERCOLOR"),
            QStringLiteral("BORDERCOLORLIGHT"),
            QStringLiteral("BORDERCOLORDARK")};
}
