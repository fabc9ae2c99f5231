// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// @brief The system clipboard: clear, then set plain text.
class ClipboardSink
{
public:
    virtual ~ClipboardSink() = default;
    virtual void clear() = 0;
    virtual void setText(const QString &text) = 0;
};

/// The clipboard of the desktop session.
class SystemClipboard final : public ClipboardSink
{
public:
    void clear() override;
    void setText(const QString &text) override;
};
