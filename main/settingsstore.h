// SPDX-License-Identifier: MIT
#pragma once

#include "common/settingsstore.h"

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

/// The text value of @p key in @p section of the file at @p path, as it
/// stands; empty when the file, section or key is missing.
QString ReadProfileText(const QString &section, const QString &key, const QString &path);

/// Sets @p key in @p section of the file at @p path to @p value, replacing an
/// existing value in place or adding the key (and the section) at the end.
/// Every other byte of the file survives; a file in UTF-16 with a byte order
/// mark stays in UTF-16. While no file exists at @p path, a non-empty @p seed
/// names the file whose whole content the new file starts from; the seed
/// itself is never changed. The new contents replace the file only once they
/// are wholly on the disk, keeping the old file's permissions and owner: a
/// failed write leaves the file as it was, and the result says why. An empty
/// @p path is a place that cannot be written: the write fails, naming @p seed.
WriteResult WriteProfileString(const QString &section, const QString &key, const QString &value,
                               const QString &path, const QString &seed = {});

/// Where the settings are kept.
struct ConfigFile
{
    /// The file reads and writes go to; empty when no file can be written
    /// (reads then go to the seed).
    QString path;
    /// Read instead of @p path while that does not exist, and copied into it
    /// by the first write; empty when there is none.
    QString seed;
};

/// The file a read of @p file goes to: its path, or its seed while the path
/// holds nothing yet.
QString ReadablePath(const ConfigFile &file);

/// Where Config.ini lives, worked out afresh on every call:
/// - beside the executable, when that folder can hold it (a portable copy);
/// - in the per-user configuration folder ($XDG_CONFIG_HOME/Vandrel), seeded
///   from the file beside the executable, when that folder or file cannot be
///   written;
/// - in the per-user folder alone when the program runs from the folder it
///   was installed to, which is never written;
/// - nowhere, when the per-user folder is needed but there is no home folder:
///   reads go to the file beside the executable and writes fail.
ConfigFile ConfigFileLocation();

/// The store over the real file, whose place is asked for on every call.
class IniFileStore final : public SettingsStore
{
public:
    explicit IniFileStore(std::function<ConfigFile()> where = ConfigFileLocation);
    int readInt(const QString &section, const QString &key, int defaultValue) override;
    QString readText(const QString &section, const QString &key) override;
    WriteResult writeText(const QString &section, const QString &key,
                          const QString &value) override;

private:
    std::function<ConfigFile()> m_where;
};

} // namespace settings
