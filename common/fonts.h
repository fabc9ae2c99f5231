// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>

/// The Japanese font names the windows are drawn in.
inline const QString kGothicName = QStringLiteral(u"ＭＳ ゴシック");
inline const QString kPGothicName = QStringLiteral(u"ＭＳ Ｐゴシック");

/// @brief The font a window asks for by one of the Japanese names, at
/// @p points: "ＭＳ ゴシック" maps to a monospaced and "ＭＳ Ｐゴシック" to a
/// proportional Japanese gothic installed here. Asking by the installed
/// family spares the font database a fallback search for a name it does not
/// have.
QFont MappedFont(const QString &name, int points);

/// Loads the system font configuration and finds the installed families
/// behind the Japanese names, once per process; MappedFont() calls it too.
/// Safe from any thread.
void ResolveMappedFamilies();
