// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// @brief The system clipboard as the windows use it: clear, then set plain
/// text; and read its text for a paste. Tests hand in their own.
class ClipboardSink
{
public:
    virtual ~ClipboardSink() = default;
    virtual void clear() = 0;
    virtual void setText(const QString &text) = 0;
    /// The clipboard's plain text; empty when it holds none.
    virtual QString text() const = 0;
};
