// SPDX-License-Identifier: MIT
#pragma once

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
/// The whole tag is upper case for @p letterCase 0 and lower case for any
/// other value (1 lower case, 2 the greyed state), codes included.
QString BuildBodyTag(const BodyCodes &codes, int letterCase);
