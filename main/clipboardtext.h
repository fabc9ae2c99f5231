// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QString>

/// @brief The text the main window's copy puts on the clipboard.
///
/// The name in the attribute list decides the form:
/// - "なし": the code as it stands;
/// - a CSS property (ending in ':' before any trailing blanks, "color:",
///   "--brand:"): the name as typed, a space, the code and ';', the letter
///   case applied to the code alone;
/// - "rgb()", "hsl()", "oklch()": the colour in that CSS form, whatever the
///   letter case (a code that is no whole colour, during an edit, goes as it
///   stands);
/// - any other name is an attribute: the name, "=", and the code in quotation
///   marks, the whole text in upper case for Upper and in lower case otherwise.
/// The greyed state copies as lower case. Nothing is trimmed.
QString ClipboardText(const QString &attributeName, const QString &code,
                      colour::LetterCase letterCase);

/// The attribute names offered in the main window's list, in order.
QStringList AttributeNames();

/// The CSS forms the list offers after the attribute names, in order.
QStringList CssFormNames();
