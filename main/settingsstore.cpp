// SPDX-License-Identifier: MIT
#include "main/settingsstore.h"

#include "main/inifile.h"
#include "main/settingslock.h"
#include "main/settingspath.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <utility>

namespace settings {
namespace {

using ini::View;

// NOTE: The program's own file stays under a kilobyte. A file larger than this
// is not one we wrote: reads give the default without scanning it and writes
// refuse to touch it, so a stray huge file costs one stat() and is never
// rewritten. Up to this size a read takes a few milliseconds at most.
constexpr qint64 kMaxFileBytes = qint64{4} * 1024 * 1024;

std::function<bool()> &BeforeReplaceHook()
{
    static std::function<bool()> hook;
    return hook;
}

enum class FileState { Missing, Present, Unusable };

struct FileContents
{
    FileState state = FileState::Missing;
    QByteArray bytes;
};

FileContents ReadFileContents(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        // NOTE: A dangling symbolic link counts as unusable rather than missing,
        // so that a write never creates a file wherever such a link points.
        return {info.isSymLink() ? FileState::Unusable : FileState::Missing, {}};
    }
    // Only a regular file is opened: a pipe or device could block or never end.
    if (!info.isFile() || info.size() > kMaxFileBytes)
        return {FileState::Unusable, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {FileState::Unusable, {}};
    // One byte more than its size tells a file that grew since; reading stops
    // there, so a file growing without end cannot keep the read going.
    QByteArray bytes = file.read(std::min(file.size(), kMaxFileBytes) + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileBytes)
        return {FileState::Unusable, {}};
    return {FileState::Present, std::move(bytes)};
}

// The new contents go to a temporary file beside the old one, which is then
// renamed over it: a reader sees the old file or the new one, never a part.
// QSaveFile flushes the data to disk before the rename and gives the new file
// the old one's permissions.
bool ReplaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // NOTE: Never write the file in place, even in a folder we cannot create
    // files in: an interrupted write would leave it truncated.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false; // the unfinished temporary file goes with `file`
    const std::function<bool()> &hook = BeforeReplaceHook();
    if (hook && !hook())
        return false;
    return file.commit();
}

} // namespace

namespace detail {

void SetBeforeReplaceHook(std::function<bool()> hook)
{
    BeforeReplaceHook() = std::move(hook);
}

} // namespace detail

int ReadProfileInt(const QString &section, const QString &key, int defaultValue,
                   const QString &path)
{
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    if (path.isEmpty() || !ini::IsSectionName(View(sectionName)) || !ini::IsKeyName(View(keyName)))
        return defaultValue;
    // NOTE: Reads take no lock: writes replace the file by a rename, so a read
    // always sees one whole version of it.
    const FileContents contents = ReadFileContents(path);
    if (contents.state != FileState::Present)
        return defaultValue;
    return ini::ReadInt(View(contents.bytes), View(sectionName), View(keyName))
        .value_or(defaultValue);
}

QString ReadProfileText(const QString &section, const QString &key, const QString &path)
{
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    if (path.isEmpty() || !ini::IsSectionName(View(sectionName)) || !ini::IsKeyName(View(keyName)))
        return {};
    const FileContents contents = ReadFileContents(path);
    if (contents.state != FileState::Present)
        return {};
    const std::optional<std::string_view> value =
        ini::ReadText(View(contents.bytes), View(sectionName), View(keyName));
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size()))
                 : QString();
}

bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path, const QString &seed)
{
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    const QByteArray valueText = value.toUtf8();
    if (path.isEmpty() || !ini::IsSectionName(View(sectionName)) ||
        !ini::IsKeyName(View(keyName)) || !ini::IsValueText(View(valueText)))
        return false;

    // The per-user folder does not exist before the first write there.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;

    // NOTE: Several copies of the program share the file. The lock covers the
    // whole read, change and replace, so no copy's write to one key undoes
    // another copy's write to a different key, and for each key the last write
    // wins.
    const QString lockPath = path + QStringLiteral(".lock");
    SettingsFileLock lock(lockPath);
    if (!lock.acquire())
        return false;

    const FileContents old = ReadFileContents(path);
    if (old.state == FileState::Unusable)
        return false;
    if (old.state == FileState::Missing) {
        // The new file starts as a copy of the seed, byte for byte; a seed
        // that cannot be read gave only defaults and contributes nothing.
        const FileContents start = seed.isEmpty() ? FileContents{} : ReadFileContents(seed);
        const QByteArray base = start.state == FileState::Present ? start.bytes : QByteArray();
        return ReplaceFile(
            path, ini::WithValue(View(base), View(sectionName), View(keyName), View(valueText)));
    }
    const QByteArray updated =
        ini::WithValue(View(old.bytes), View(sectionName), View(keyName), View(valueText));
    if (updated == old.bytes)
        return true;
    return ReplaceFile(path, updated);
}

QString ReadablePath(const ConfigFile &file)
{
    const QFileInfo info(file.path);
    return file.seed.isEmpty() || info.exists() || info.isSymLink() ? file.path : file.seed;
}

IniFileStore::IniFileStore(std::function<ConfigFile()> where)
    : m_where(where ? std::move(where) : std::function<ConfigFile()>(ConfigFileLocation))
{
}

int IniFileStore::readInt(const QString &section, const QString &key, int defaultValue)
{
    return ReadProfileInt(section, key, defaultValue, ReadablePath(m_where()));
}

QString IniFileStore::readText(const QString &section, const QString &key)
{
    return ReadProfileText(section, key, ReadablePath(m_where()));
}

void IniFileStore::writeText(const QString &section, const QString &key, const QString &value)
{
    // NOTE: A failed write is lost without a word; the run goes on.
    const ConfigFile file = m_where();
    WriteProfileString(section, key, value, file.path, file.seed);
}

} // namespace settings
