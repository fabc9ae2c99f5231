// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <optional>

class QWidget;

/// @brief The system colour chooser, behind an interface so tests can answer it.
class ColourChooser
{
public:
    virtual ~ColourChooser() = default;
    /// Shows the chooser modal on @p initial. Gives the confirmed colour, or
    /// nothing when the user cancelled.
    virtual std::optional<colour::ColourValue> choose(QWidget *parent,
                                                      colour::ColourValue initial) = 0;
};
