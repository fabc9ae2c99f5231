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
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

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

// How the file's text is stored. The program writes UTF-8; a file saved in
// UTF-16 with a byte order mark (as some editors do) is read as text and
// written back in UTF-16, so its values count and it never becomes a mix of
// two encodings.
enum class Encoding { Utf8, Utf16LE, Utf16BE };

struct FileContents
{
    FileState state = FileState::Missing;
    QByteArray text; ///< the file's text in UTF-8, as the file holds it when Encoding::Utf8
    Encoding encoding = Encoding::Utf8;
    int error = 0; ///< why an unusable file could not be read, when the system said
};

constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";

// The text of UTF-16 @p units in UTF-8; nothing when the units do not survive
// the way there and back (an odd byte, a lone surrogate), as such a file
// could not be written back as it was.
std::optional<QByteArray> Utf16ToUtf8(QByteArrayView units, Encoding encoding)
{
    if (units.size() % 2 != 0)
        return std::nullopt;
    QString text(units.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char *unit = units.data() + 2 * i;
        text[i] = QChar(encoding == Encoding::Utf16LE ? qFromLittleEndian<quint16>(unit)
                                                      : qFromBigEndian<quint16>(unit));
    }
    QByteArray utf8 = text.toUtf8();
    if (QString::fromUtf8(utf8) != text)
        return std::nullopt;
    return utf8;
}

// @p text (UTF-8) in the file's own encoding.
QByteArray Encoded(const QByteArray &text, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return text;
    const QString units = QString::fromUtf8(text);
    QByteArray out(encoding == Encoding::Utf16LE ? kUtf16LEMark.data() : kUtf16BEMark.data(), 2);
    out.resize(2 + 2 * units.size());
    char *at = out.data() + 2;
    for (const QChar unit : units) {
        if (encoding == Encoding::Utf16LE)
            qToLittleEndian<quint16>(unit.unicode(), at);
        else
            qToBigEndian<quint16>(unit.unicode(), at);
        at += 2;
    }
    return out;
}

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
        return {FileState::Unusable, {}, Encoding::Utf8, errno};
    // One byte more than its size tells a file that grew since; reading stops
    // there, so a file growing without end cannot keep the read going.
    QByteArray bytes = file.read(std::min(file.size(), kMaxFileBytes) + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileBytes)
        return {FileState::Unusable, {}};
    for (const Encoding encoding : {Encoding::Utf16LE, Encoding::Utf16BE}) {
        const std::string_view mark = encoding == Encoding::Utf16LE ? kUtf16LEMark : kUtf16BEMark;
        if (!View(bytes).starts_with(mark))
            continue;
        std::optional<QByteArray> text =
            Utf16ToUtf8(QByteArrayView(bytes).sliced(qsizetype{2}), encoding);
        if (!text)
            return {FileState::Unusable, {}};
        return {FileState::Present, std::move(*text), encoding};
    }
    return {FileState::Present, std::move(bytes)};
}

/// Where a failed step of a write went wrong, with the system's error.
struct Failure
{
    WriteFailure failure = WriteFailure::None;
    int error = 0;
};

// Makes @p folder and the folders above it that are missing.
Failure MakeFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.first(slash);
        struct stat info = {};
        if (::stat(part.constData(), &info) != 0) {
            if (errno != ENOENT || (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST))
                return {WriteFailure::Folder, errno};
        } else if (!S_ISDIR(info.st_mode)) {
            return {WriteFailure::Folder, ENOTDIR};
        }
        if (slash < 0)
            return {};
    }
}

// Writes all of @p bytes to @p fd.
int WriteAll(int fd, const QByteArray &bytes)
{
    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        at += written;
        left -= written;
    }
    return 0;
}

// The new contents go to a temporary file beside the old one, which is then
// renamed over it: a reader sees the old file or the new one, never a part.
// QSaveFile makes the temporary file, removes it when the write is abandoned
// and renames it over the file a symbolic link names.
// NOTE: Every step is checked before the rename: the bytes are written
// straight to the temporary file (QSaveFile's own buffer would be written only
// by commit(), which renames even when that last write fails, leaving an
// empty or cut-off file on a full disk), then synced to the disk, where some
// file systems report a full disk only now.
Failure ReplaceFile(const QString &path, const QByteArray &bytes)
{
    struct stat old = {};
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    QSaveFile file(path);
    // NOTE: Never write the file in place, even in a folder we cannot create
    // files in: an interrupted write would leave it truncated.
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return {WriteFailure::Write, errno != 0 ? errno : EACCES};
    const int fd = file.handle();
    if (const int error = WriteAll(fd, bytes))
        return {WriteFailure::Write, error}; // the temporary file goes with `file`
    if (::fsync(fd) != 0 && errno != EINVAL)
        return {WriteFailure::Write, errno};
    if (replacing) {
        // The file keeps its owner where the program may give it (as root,
        // or the group for a member of it) and its permissions, all of them:
        // QSaveFile would give the new file the user's own owner and derive
        // the permissions from what the user may do (0600 for root).
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return {WriteFailure::Replace, errno};
    }
    const std::function<bool()> &hook = BeforeReplaceHook();
    if (hook && !hook())
        return {WriteFailure::Replace, ECANCELED};
    errno = 0;
    if (!file.commit())
        return {WriteFailure::Replace, errno != 0 ? errno : EIO};
    return {};
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
    return ini::ReadInt(View(contents.text), View(sectionName), View(keyName))
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
        ini::ReadText(View(contents.text), View(sectionName), View(keyName));
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size()))
                 : QString();
}

WriteResult WriteProfileString(const QString &section, const QString &key, const QString &value,
                               const QString &path, const QString &seed)
{
    WriteResult result{WriteFailure::None, 0, path.isEmpty() ? seed : path};
    const auto fail = [&result](Failure failure) {
        result.failure = failure.failure;
        result.error = failure.error;
        return result;
    };
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    const QByteArray valueText = value.toUtf8();
    if (!ini::IsSectionName(View(sectionName)) || !ini::IsKeyName(View(keyName)) ||
        !ini::IsValueText(View(valueText)))
        return fail({WriteFailure::Refused});
    if (path.isEmpty())
        return fail({WriteFailure::NoPlace});

    // The per-user folder does not exist before the first write there.
    if (const Failure made = MakeFolder(QFileInfo(path).absolutePath());
        made.failure != WriteFailure::None)
        return fail(made);

    // NOTE: Several copies of the program share the file. The lock covers the
    // whole read, change and replace, so no copy's write to one key undoes
    // another copy's write to a different key, and for each key the last write
    // wins.
    SettingsFileLock lock(path + QStringLiteral(".lock"));
    if (const int error = lock.acquire())
        return fail({error == ETIMEDOUT ? WriteFailure::LockTimeout : WriteFailure::Lock, error});

    FileContents old = ReadFileContents(path);
    if (old.state == FileState::Unusable)
        return fail({WriteFailure::Unusable, old.error});
    if (old.state == FileState::Missing) {
        // The new file starts as a copy of the seed, in its encoding; a seed
        // that cannot be read gave only defaults and contributes nothing.
        // NOTE: The file is made only by the rename of a complete temporary
        // file, so a write that fails never leaves an empty file that would
        // hide the seed from then on.
        const FileContents start = seed.isEmpty() ? FileContents{} : ReadFileContents(seed);
        if (start.state == FileState::Present)
            old = start;
        old.state = FileState::Missing;
    }
    const QByteArray updated =
        ini::WithValue(View(old.text), View(sectionName), View(keyName), View(valueText));
    if (old.state == FileState::Present && updated == old.text)
        return result;
    return fail(ReplaceFile(path, Encoded(updated, old.encoding)));
}

QString ReadablePath(const ConfigFile &file)
{
    const QFileInfo info(file.path);
    return file.seed.isEmpty() || (!file.path.isEmpty() && (info.exists() || info.isSymLink()))
               ? file.path
               : file.seed;
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

WriteResult IniFileStore::writeText(const QString &section, const QString &key,
                                    const QString &value)
{
    const ConfigFile file = m_where();
    return WriteProfileString(section, key, value, file.path, file.seed);
}

} // namespace settings
