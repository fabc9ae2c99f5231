// SPDX-License-Identifier: MIT
#pragma once

#include "common/colourchooser.h"

#include <QList>
#include <deque>

/// @brief A colour chooser that gives queued answers (nothing = cancelled)
/// and remembers what it was opened with.
class FakeColourChooser final : public ColourChooser
{
public:
    std::deque<std::optional<colour::ColourValue>> answers;
    QList<colour::ColourValue> initials;
    QList<QWidget *> parents;

    std::optional<colour::ColourValue> choose(QWidget *parent, colour::ColourValue initial) override
    {
        initials << initial;
        parents << parent;
        if (answers.empty())
            return std::nullopt;
        const std::optional<colour::ColourValue> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
