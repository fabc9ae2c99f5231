// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QList>
#include <QString>

#include <optional>

namespace settings {
class SettingsStore;
}

/// @brief The colours the user copied or picked last, newest first, kept in
/// the settings file (section "History", keys "1" to "16", values "#RRGGBB").
///
/// A colour used again moves to the top; the list holds each colour once and
/// at most kLimit of them, dropping the oldest.
class RecentColours
{
public:
    static constexpr int kLimit = 16;

    /// Newest first.
    const QList<colour::ColourValue> &colours() const { return m_colours; }

    /// Puts @p value at the top.
    void use(colour::ColourValue value);
    void clear() { m_colours.clear(); }

    /// The list the settings file holds. Entries that are not a colour code,
    /// repeat an earlier one or stand under another key are skipped; a file
    /// without the section gives an empty list.
    static RecentColours Read(settings::SettingsStore &store);

    /// Stores the list under keys "1" onwards. A key beyond the list that
    /// still holds something is emptied; one that holds nothing is left out,
    /// so a file never written a colour gets no section. Writes that fail are
    /// noted in the store's UnsavedNotice for the caller to tell.
    void write(settings::SettingsStore &store) const;

private:
    QList<colour::ColourValue> m_colours;
};

/// "#RRGGBB" of @p value, upper case: the stored form.
QString StoredColourCode(colour::ColourValue value);

/// The colour of a stored "#RRGGBB" (either letter case, blanks around it
/// allowed), or nothing.
std::optional<colour::ColourValue> ParseStoredColourCode(QStringView text);
