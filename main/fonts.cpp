// SPDX-License-Identifier: MIT
#include "main/fonts.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral(u"IPAゴシック"),
                                QStringLiteral("Noto Sans Mono CJK JP"),
                                QStringLiteral("Monospace")});
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral(u"IPA Pゴシック"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Sans Serif")});
}
