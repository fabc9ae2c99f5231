// SPDX-License-Identifier: MIT
#pragma once

#include "main/twips.h"

class QWidget;

/// @brief Placing the small fixed windows: positions given in twips, and
/// centring over the window that opened them.
namespace dialoglayout {

/// @brief Moves the top-level @p window so that its centre lies on the
/// centre of @p anchor (the screen when @p anchor is null), kept inside the
/// available area of that screen.
void CentreOver(QWidget *window, const QWidget *anchor);

} // namespace dialoglayout
