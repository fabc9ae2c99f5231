// SPDX-License-Identifier: MIT
#include "common/recentcolours.h"

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
    text = text.trimmed();
    if (text.size() != 7 || text.front() != u'#')
        return std::nullopt;
    const std::optional<int> red = colour::ParseChannelHex(text.mid(1, 2));
    const std::optional<int> green = colour::ParseChannelHex(text.mid(3, 2));
    const std::optional<int> blue = colour::ParseChannelHex(text.mid(5, 2));
    if (!red || !green || !blue)
        return std::nullopt;
    return colour::MakeColourValue(*red, *green, *blue);
}
