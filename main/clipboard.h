// SPDX-License-Identifier: MIT
#pragma once

#include "common/clipboardsink.h"

/// The clipboard of the desktop session.
class SystemClipboard final : public ClipboardSink
{
public:
    void clear() override;
    void setText(const QString &text) override;
    QString text() const override;
};
