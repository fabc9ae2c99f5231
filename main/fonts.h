// SPDX-License-Identifier: MIT
#pragma once

/// @brief Maps the program's Japanese font names to the fonts installed here:
/// "ＭＳ ゴシック" to a monospaced and "ＭＳ Ｐゴシック" to a proportional
/// Japanese gothic. Call once, before any widget exists.
void InstallFontSubstitutions();
