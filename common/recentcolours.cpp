// SPDX-License-Identifier: MIT
#include "common/recentcolours.h"

#include "colour/csscolour.h"
#include "common/settingsstore.h"

namespace {

const QString kSection = QStringLiteral("History");

QString KeyOf(int slot)
{
    return QString::number(slot + 1);
}

} // namespace

void RecentColours::use(colour::ColourValue value)
{
    m_colours.removeAll(value);
    m_colours.prepend(value);
    if (m_colours.size() > kLimit)
        m_colours.resize(kLimit);
}

RecentColours RecentColours::Read(settings::SettingsStore &store)
{
    RecentColours recent;
    for (int slot = 0; slot < kLimit; ++slot) {
        const std::optional<colour::ColourValue> value =
            ParseStoredColourCode(store.readText(kSection, KeyOf(slot)));
        if (value && !recent.m_colours.contains(*value))
            recent.m_colours.append(*value);
    }
    return recent;
}

void RecentColours::write(settings::SettingsStore &store) const
{
    for (int slot = 0; slot < kLimit; ++slot) {
        const QString key = KeyOf(slot);
        if (slot < m_colours.size())
            store.unsaved().note(store.writeText(kSection, key, StoredColourCode(m_colours[slot])));
        else if (!store.readText(kSection, key).isEmpty())
            store.unsaved().note(store.writeText(kSection, key, QString()));
    }
}

QString StoredColourCode(colour::ColourValue value)
{
    const colour::HexTriple hex = colour::SplitColorValue(value);
    return colour::BuildColorCode(hex.red, hex.green, hex.blue);
}

std::optional<colour::ColourValue> ParseStoredColourCode(QStringView text)
{
    const std::optional<colour::Rgb> rgb = colour::ParseColourCode(text.trimmed());
    if (!rgb)
        return std::nullopt;
    return colour::MakeColourValue(rgb->red, rgb->green, rgb->blue);
}
