// SPDX-License-Identifier: MIT
#include "body/bodytag.h"

using namespace Qt::StringLiterals;

QString BuildBodyTag(const BodyCodes &codes, colour::LetterCase letterCase)
{
    const auto quoted = [](const QString &code) { return u'"' + code + u'"'; };
    // NOTE: the active-link attribute has a space before its equals sign. The
    // tags this program has always copied look like that, so it stays.
    const QString tag = u"<body bgcolor="_s + quoted(codes.background) + u" text="_s +
                        quoted(codes.text) + u" Link="_s + quoted(codes.link) + u" Vlink="_s +
                        quoted(codes.vlink) + u" Alink ="_s + quoted(codes.alink) + u'>';
    return colour::ApplyLetterCase(tag, letterCase == colour::LetterCase::Upper
                                            ? colour::LetterCase::Upper
                                            : colour::LetterCase::Lower);
}
