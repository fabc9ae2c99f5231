// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace settings {

/// @brief The two operations the windows use on the settings file: read an
/// integer, write a text. Each call goes to the file at once; nothing is
/// cached. Tests record or replace them.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual int readInt(const QString &section, const QString &key, int defaultValue) = 0;
    /// The value of @p key as it stands, empty when the file, section or key is missing.
    virtual QString readText(const QString &section, const QString &key) = 0;
    virtual void writeText(const QString &section, const QString &key, const QString &value) = 0;
};

} // namespace settings
