// SPDX-License-Identifier: MIT
#pragma once

#include "common/clipboardsink.h"

#include <QStringList>

/// @brief A clipboard that logs "clear" and "set:<text>" in call order.
class FakeClipboard final : public ClipboardSink
{
public:
    QStringList log;

    void clear() override { log << QStringLiteral("clear"); }
    void setText(const QString &text) override { log << QStringLiteral("set:") + text; }
};
