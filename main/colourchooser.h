// SPDX-License-Identifier: MIT
#pragma once

#include "common/colourchooser.h"

/// The chooser of the toolkit (QColorDialog).
class DialogColourChooser final : public ColourChooser
{
public:
    std::optional<colour::ColourValue> choose(QWidget *parent,
                                              colour::ColourValue initial) override;
};
