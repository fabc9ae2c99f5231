// SPDX-License-Identifier: MIT
#include "main/clipboardtext.h"

#include <QStringList>

namespace {
const QString kNone = QStringLiteral(u"なし");
}

QString ClipboardText(const QString &attributeName, const QString &code, int letterCase)
{
    if (attributeName == kNone)
        return code;
    const QString text = attributeName + QStringLiteral("=\"") + code + u'"';
    return letterCase == 0 ? text.toUpper() : text.toLower();
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
