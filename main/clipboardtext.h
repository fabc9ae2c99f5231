// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QString>

/// @brief The text the main window's copy puts on the clipboard.
///
/// With the attribute name "なし" the code goes as it stands. Otherwise the
/// name, "=", and the code in quotation marks, the whole text in upper case
/// for Upper and in lower case otherwise (the greyed state copies as lower
/// case). Nothing is trimmed.
QString ClipboardText(const QString &attributeName, const QString &code,
                      colour::LetterCase letterCase);

/// The attribute names offered in the main window's list, in order.
QStringList AttributeNames();
