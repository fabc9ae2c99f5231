// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// @brief The text the main window's copy puts on the clipboard.
///
/// With the attribute name "なし" the code goes as it stands. Otherwise the
/// name, "=", and the code in quotation marks, the whole text in upper case
/// when @p letterCase is 0 and in lower case otherwise. Nothing is trimmed.
QString ClipboardText(const QString &attributeName, const QString &code, int letterCase);

/// The attribute names offered in the main window's list, in order.
QStringList AttributeNames();
