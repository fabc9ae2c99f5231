// SPDX-License-Identifier: MIT
#include "main/clipboardtext.h"

#include "colour/csscolour.h"

#include <QStringList>

namespace {
const QString kNone = QStringLiteral(u"なし");
}

QString ClipboardText(const QString &attributeName, const QString &code,
                      colour::LetterCase letterCase)
{
    if (attributeName == kNone)
        return code;
    const colour::LetterCase copyCase = letterCase == colour::LetterCase::Upper
                                            ? colour::LetterCase::Upper
                                            : colour::LetterCase::Lower;
    if (colour::IsCssPropertyName(attributeName)) {
        QString property = attributeName;
        while (property.back().isSpace())
            property.chop(1);
        return property + u' ' + colour::ApplyLetterCase(code, copyCase) + u';';
    }
    if (const std::optional<colour::CssFunction> function =
            colour::CssFunctionNamed(attributeName)) {
        const std::optional<colour::Rgb> rgb = colour::ParseColourCode(code);
        return rgb ? colour::FormatCssFunction(*function, *rgb) : code;
    }
    const QString text = attributeName + QStringLiteral("=\"") + code + u'"';
    return colour::ApplyLetterCase(text, copyCase);
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

QStringList CssFormNames()
{
    return {QStringLiteral("color:"), QStringLiteral("background-color:"), QStringLiteral("rgb()"),
            QStringLiteral("hsl()"), QStringLiteral("oklch()")};
}
