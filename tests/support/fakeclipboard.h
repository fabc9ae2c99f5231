// SPDX-License-Identifier: MIT
#pragma once

#include "common/clipboardsink.h"

#include <QStringList>

/// @brief A clipboard that logs "clear" and "set:<text>" in call order and
/// hands out what it holds to a paste.
class FakeClipboard final : public ClipboardSink
{
public:
    QStringList log;
    QString content;

    void clear() override
    {
        log << QStringLiteral("clear");
        content.clear();
    }
    void setText(const QString &text) override
    {
        log << QStringLiteral("set:") + text;
        content = text;
    }
    QString text() const override { return content; }
};
