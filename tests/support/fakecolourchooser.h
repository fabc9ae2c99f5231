// SPDX-License-Identifier: MIT
#pragma once

#include "common/colourchooser.h"

#include <QList>
#include <deque>

/// @brief A colour chooser that gives queued answers (nothing = cancelled)
/// and remembers the colours it was opened on.
class FakeColourChooser final : public ColourChooser
{
public:
    std::deque<std::optional<colour::ColourValue>> answers;
    QList<colour::ColourValue> initials;

    std::optional<colour::ColourValue> choose(QWidget *, colour::ColourValue initial) override
    {
        initials << initial;
        if (answers.empty())
            return std::nullopt;
        const std::optional<colour::ColourValue> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
