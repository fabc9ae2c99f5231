// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

/// @brief The settings file Config.ini: read an integer, write a text.
///
/// Each call goes to the file at once; nothing is cached.
namespace settings {

/// Reads the integer value of @p key in @p section of the file at @p path.
/// Section and key names match without regard to letter case; the first
/// matching section and key win. Leading blanks are skipped, then an optional
/// sign and decimal digits up to the first other character are read
/// ("12abc" is 12, "abc" is 0). A missing file, section or key gives
/// @p defaultValue.
int ReadProfileInt(const QString &section, const QString &key, int defaultValue,
                   const QString &path);

/// Sets @p key in @p section of the file at @p path to @p value, replacing an
/// existing value in place or adding the key (and the section) at the end.
/// Every other byte of the file survives. Returns false when nothing was
/// written; the file is then unchanged.
bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path);

/// Where Config.ini lives: beside the executable, or in the per-user
/// configuration folder when the executable's folder cannot hold it.
/// Worked out afresh on every call.
QString ConfigFilePath();

/// The two operations the windows use, so that tests can record or replace them.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual int readInt(const QString &section, const QString &key, int defaultValue) = 0;
    virtual void writeText(const QString &section, const QString &key, const QString &value) = 0;
};

/// The store over the real file, whose path is asked for on every call.
class IniFileStore final : public SettingsStore
{
public:
    explicit IniFileStore(std::function<QString()> path = ConfigFilePath);
    int readInt(const QString &section, const QString &key, int defaultValue) override;
    void writeText(const QString &section, const QString &key, const QString &value) override;

private:
    std::function<QString()> m_path;
};

} // namespace settings
