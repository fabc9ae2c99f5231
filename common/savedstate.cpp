// SPDX-License-Identifier: MIT
#include "common/savedstate.h"

#include <QString>

#include <algorithm>
#include <climits>

namespace savedstate {
namespace {

/// What a stored value outside its bounds becomes.
enum class Outside {
    Clamped, ///< the nearest bound, as a slider holds it
    Default, ///< the default, as an option with unknown states reads
};

struct Entry
{
    Value value;
    const char16_t *section;
    const char16_t *key;
    int defaultValue;
    int low;
    int high;
    Outside outside;
};

// Options and positions are kept exactly as stored: an option counts as on
// only when it is 1 and is written back as it was read.
constexpr Entry kTable[] = {
    {Value::Red, u"Color", u"Red", 0, 0, 255, Outside::Clamped},
    {Value::Green, u"Color", u"Green", 0, 0, 255, Outside::Clamped},
    {Value::Blue, u"Color", u"Blue", 0, 0, 255, Outside::Clamped},
    {Value::LetterCase, u"Check", u"Komozi", 0, 0, 2, Outside::Default},
    {Value::Top, u"Position", u"Top", 0, INT_MIN, INT_MAX, Outside::Clamped},
    {Value::Left, u"Position", u"Left", 0, INT_MIN, INT_MAX, Outside::Clamped},
    {Value::PaletteOpen, u"Position", u"ColorP", 0, INT_MIN, INT_MAX, Outside::Clamped},
    {Value::InFront, u"Setting", u"Top", 0, INT_MIN, INT_MAX, Outside::Clamped},
    {Value::HideDokodemo, u"Setting", u"HideDokodemo", 0, INT_MIN, INT_MAX, Outside::Clamped},
    {Value::Uses, u"Use", u"NumberOfUse", 0, INT_MIN, INT_MAX, Outside::Clamped},
    {Value::BodyLetterCase, u"Body", u"Komozi", 0, 0, 2, Outside::Default},
};

const Entry &EntryOf(Value value)
{
    return *std::find_if(std::begin(kTable), std::end(kTable),
                         [value](const Entry &entry) { return entry.value == value; });
}

} // namespace

int Read(settings::SettingsStore &store, Value value)
{
    const Entry &entry = EntryOf(value);
    const int stored = store.readInt(QString::fromUtf16(entry.section),
                                     QString::fromUtf16(entry.key), entry.defaultValue);
    if (stored >= entry.low && stored <= entry.high)
        return stored;
    return entry.outside == Outside::Clamped ? std::clamp(stored, entry.low, entry.high)
                                             : entry.defaultValue;
}

settings::WriteResult Write(settings::SettingsStore &store, Value value, int number)
{
    const Entry &entry = EntryOf(value);
    return store.writeText(QString::fromUtf16(entry.section), QString::fromUtf16(entry.key),
                           QString::number(number));
}

} // namespace savedstate
