// SPDX-License-Identifier: MIT
#pragma once

#include "colour/feedback.h"

/// Shows the program's message box: the text, one OK button, no icon, the
/// program's name as caption. Returns when the box is closed.
void ShowMessageBox(QWidget *parent, const QString &text);

/// The platform beep and ShowMessageBox().
Feedback StandardFeedback();
