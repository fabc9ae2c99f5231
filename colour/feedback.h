// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

class QWidget;

/// @brief The beep and the message box, each one replaceable function, so
/// tests can count beeps and read messages without a modal loop.
struct Feedback
{
    std::function<void()> beep;
    std::function<void(QWidget *parent, const QString &text)> message;
};
