// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QString>

/// @brief The five colour codes of a page, as the BODY tag editor's code
/// boxes show them.
struct BodyCodes
{
    QString background;
    QString text;
    QString link;
    QString vlink;
    QString alink;
};

/// @brief The `<body>` start tag carrying @p codes.
///
/// The whole tag is upper case for Upper and lower case otherwise (the
/// greyed state copies as lower case), codes included.
QString BuildBodyTag(const BodyCodes &codes, colour::LetterCase letterCase);
