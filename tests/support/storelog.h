// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channelcontrols.h"

#include <QRegularExpression>
#include <QStringList>

/// Records the stores a picker makes into the main window's channel views,
/// in order: "R=255" for a store into SliderRed, "G=FF" for a store into
/// TextGreenHex. Stores made by the views' own steps (indented in the trace)
/// are left out, so only what the picker itself stored shows.
class StoreLog
{
public:
    explicit StoreLog(ChannelControls &controls)
    {
        controls.trace = [this](const QString &line) { note(line); };
    }

    QStringList take()
    {
        QStringList lines = m_lines;
        m_lines.clear();
        return lines;
    }

private:
    void note(const QString &line)
    {
        static const QRegularExpression store(
            QStringLiteral("^store (?:Slider|Text)(Red|Green|Blue)(?:Hex)? \"?([0-9A-Fa-f]+)\"?$"));
        const QRegularExpressionMatch m = store.match(line);
        if (m.hasMatch())
            m_lines.append(m.captured(1).left(1) + u'=' + m.captured(2));
    }

    QStringList m_lines;
};
