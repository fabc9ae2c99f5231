// SPDX-License-Identifier: MIT
#include "main/settingsstore.h"

#include "main/settingspath.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <string_view>
#include <utility>

// The file is a list of lines. A line whose first non-blank character is '['
// starts a section; its name runs to the first ']' (or the end of the line).
// A line whose first non-blank character is ';' or '#' is a comment. Any other
// line holding '=' is a key: the name is what stands before the first '=', the
// value everything after it. Names are trimmed of spaces and tabs and compared
// without regard to ASCII letter case. Only the first section of a name counts,
// and in it only the first key of a name; everything else is carried along
// untouched, byte for byte, when a value is written.

namespace settings {
namespace {

// NOTE: The program's own file stays under a kilobyte. A file larger than this
// is not one we wrote: reads give the default without scanning it and writes
// refuse to touch it, so a stray huge file costs one stat() and is never
// rewritten. Up to this size a read takes a few milliseconds at most.
constexpr qint64 kMaxFileBytes = qint64{4} * 1024 * 1024;

// How long a write waits while other copies of the program write the file.
constexpr int kLockWaitMs = 2000;

// Where only Qt's lock file is at hand: a lock file older than this was left
// by a copy that hung or died on another machine; a write holds the lock for a
// few milliseconds. (A lock left by a dead process on this machine is
// recognised by its process id at once.)
constexpr int kStaleLockMs = 10000;

// Pause between two attempts at a lock held by another copy.
constexpr unsigned long kLockRetryMs = 1;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kNotFound = std::string_view::npos;

std::function<bool()> &BeforeReplaceHook()
{
    static std::function<bool()> hook;
    return hook;
}

std::string_view View(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

void Append(QByteArray &out, std::string_view part)
{
    out.append(part.data(), static_cast<qsizetype>(part.size()));
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

// Names the program could write and read back: not empty, no blanks around
// them, no control characters, and nothing that would end the name early.
bool IsPlainName(std::string_view name)
{
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back()))
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code < 0x20 || code == 0x7F;
    });
}

bool IsSectionName(std::string_view name)
{
    return IsPlainName(name) && name.find(']') == kNotFound;
}

bool IsKeyName(std::string_view name)
{
    return IsPlainName(name) && name.find('=') == kNotFound && name.front() != '[' &&
           name.front() != ';' && name.front() != '#';
}

bool IsValueText(std::string_view value)
{
    return value.find_first_of("\r\n") == kNotFound;
}

// Leading blanks, an optional sign, then decimal digits up to the first other
// character; no digits reads as 0. Values beyond 32 bits stop at INT_MIN or
// INT_MAX.
int ParseValue(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const qint64 limit = negative ? -qint64{INT_MIN} : qint64{INT_MAX};
    qint64 magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        magnitude = std::min(limit, magnitude * 10 + (text[at] - '0'));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

/// One line of the file: where it begins, where its text ends (before "\n" or
/// "\r\n", or before a lone "\r" that ends the file) and where the next line
/// begins.
struct Line
{
    std::size_t begin = 0;
    std::size_t textEnd = 0;
    std::size_t end = 0;
};

Line LineAt(std::string_view data, std::size_t begin)
{
    const std::size_t newline = data.find('\n', begin);
    const std::size_t end = newline == kNotFound ? data.size() : newline + 1;
    std::size_t textEnd = newline == kNotFound ? data.size() : newline;
    // NOTE: a "\r" that ends the file counts as the first half of a line
    // break, which it becomes when a line is added after it: the line means
    // the same before and after a write.
    if (textEnd > begin && data[textEnd - 1] == '\r')
        --textEnd;
    return {begin, textEnd, end};
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct LineMeaning
{
    LineKind kind = LineKind::Other;
    std::string_view name;      ///< section or key name, blanks trimmed
    std::size_t valueBegin = 0; ///< for a key: the first byte after '='
};

LineMeaning Classify(std::string_view data, const Line &line)
{
    const std::string_view text = data.substr(line.begin, line.textEnd - line.begin);
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == kNotFound)
        return {LineKind::Blank, {}, 0};
    const char lead = text[first];
    if (lead == ';' || lead == '#')
        return {LineKind::Comment, {}, 0};
    if (lead == '[') {
        const std::string_view inside = text.substr(first + 1);
        return {LineKind::Section, TrimBlanks(inside.substr(0, inside.find(']'))), 0};
    }
    const std::size_t equals = text.find('=', first);
    if (equals == kNotFound)
        return {LineKind::Other, {}, 0};
    return {LineKind::Key, TrimBlanks(text.substr(first, equals - first)), line.begin + equals + 1};
}

std::size_t FirstLineBegin(std::string_view data)
{
    return data.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
}

/// Where a key stands in the file, or where it would go.
struct Place
{
    bool sectionFound = false;
    bool keyFound = false;
    std::size_t valueBegin = 0; ///< the key's value, when found
    std::size_t valueEnd = 0;
    std::size_t insertAt = 0;      ///< where a new key line goes, when only the section was found
    bool insertNeedsBreak = false; ///< the line before insertAt has no line break
};

// NOTE: Reads and writes both go through this one walk, so a value written is
// exactly the value a later read finds.
Place Locate(std::string_view data, std::string_view section, std::string_view key)
{
    Place place;
    const auto insertAfter = [&place, data](const Line &line) {
        place.insertAt = line.end;
        place.insertNeedsBreak = data[line.end - 1] != '\n';
    };
    for (std::size_t at = FirstLineBegin(data); at < data.size();) {
        const Line line = LineAt(data, at);
        at = line.end;
        const LineMeaning meaning = Classify(data, line);
        if (meaning.kind == LineKind::Section) {
            if (place.sectionFound)
                break; // the first section of that name ends here
            if (SameName(meaning.name, section)) {
                place.sectionFound = true;
                insertAfter(line);
            }
            continue;
        }
        if (!place.sectionFound)
            continue;
        if (meaning.kind == LineKind::Key && SameName(meaning.name, key)) {
            place.keyFound = true;
            place.valueBegin = meaning.valueBegin;
            place.valueEnd = line.textEnd;
            return place;
        }
        // New keys go after the section's last line that says something, so that
        // blank lines and comments before the next section stay in front of it.
        if (meaning.kind != LineKind::Blank && meaning.kind != LineKind::Comment)
            insertAfter(line);
    }
    return place;
}

// New lines follow the file's own line breaks: those of its first line.
std::string_view LineBreakOf(std::string_view data)
{
    const std::size_t newline = data.find('\n');
    return (newline != kNotFound && newline > 0 && data[newline - 1] == '\r') ? "\r\n" : "\n";
}

QByteArray WithValue(std::string_view data, std::string_view section, std::string_view key,
                     std::string_view value)
{
    const Place place = Locate(data, section, key);
    const std::string_view lineBreak = LineBreakOf(data);
    QByteArray out;
    out.reserve(
        static_cast<qsizetype>(data.size() + section.size() + key.size() + value.size() + 8));
    if (place.keyFound) {
        Append(out, data.substr(0, place.valueBegin));
        Append(out, value);
        Append(out, data.substr(place.valueEnd));
        return out;
    }
    const std::size_t insertAt = place.sectionFound ? place.insertAt : data.size();
    Append(out, data.substr(0, insertAt));
    const bool needsBreak = place.sectionFound
                                ? place.insertNeedsBreak
                                : (data.size() > FirstLineBegin(data) && data.back() != '\n');
    // After a lone "\r" at the end, a "\n" completes the line break.
    if (needsBreak)
        Append(out, data.substr(0, insertAt).ends_with('\r') ? "\n" : lineBreak);
    if (!place.sectionFound) {
        out.append('[');
        Append(out, section);
        out.append(']');
        Append(out, lineBreak);
    }
    Append(out, key);
    out.append('=');
    Append(out, value);
    Append(out, lineBreak);
    Append(out, data.substr(insertAt));
    return out;
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

// The lock on "Config.ini.lock" that a write holds: the kernel's lock on that
// file. The kernel drops it when its holder ends, however it ends, so no lock
// is ever left stale, and taking it writes nothing to disk. The holder removes
// the file when done; a copy that opened the file before that and then gets
// the lock finds the name gone or taken by a newer file, and tries again.
class KernelLock
{
public:
    enum class Result { Held, Busy, Unsupported, Failed };

    explicit KernelLock(const QString &path) : m_path(QFile::encodeName(path)) {}
    ~KernelLock()
    {
        if (m_fd >= 0) {
            ::unlink(m_path.constData());
            ::close(m_fd);
        }
    }
    KernelLock(const KernelLock &) = delete;
    KernelLock &operator=(const KernelLock &) = delete;

    Result tryLock()
    {
        // NOTE: never through a symbolic link: the lock file is ours alone.
        constexpr int kFlags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
        int fd = ::open(m_path.constData(), kFlags | O_CREAT | O_EXCL, 0666);
        const bool created = fd >= 0;
        if (!created && errno == EEXIST)
            fd = ::open(m_path.constData(), kFlags);
        if (fd < 0)
            return errno == ENOENT ? Result::Busy : Result::Failed;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error == EWOULDBLOCK || error == EINTR) {
                ::close(fd);
                return Result::Busy;
            }
            // No kernel lock can be held here: the name is left to Qt's lock file.
            if (created)
                ::unlink(m_path.constData());
            ::close(fd);
            return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL ? Result::Unsupported
                                                                             : Result::Failed;
        }
        struct stat opened = {};
        struct stat named = {};
        if (::fstat(fd, &opened) == 0 && ::lstat(m_path.constData(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            m_fd = fd;
            return Result::Held;
        }
        ::close(fd);
        return Result::Busy; // the holder before removed the file meanwhile
    }

private:
    QByteArray m_path;
    int m_fd = -1;
};

// NOTE: a write holds the lock for about a millisecond, so a busy lock is
// tried again every millisecond until the deadline. Where the file system
// keeps no kernel locks, Qt's lock file (which records its owner) stands in.
bool AcquireLock(KernelLock &lock, QLockFile &fallback)
{
    const QDeadlineTimer deadline(kLockWaitMs);
    for (;;) {
        switch (lock.tryLock()) {
        case KernelLock::Result::Held:
            return true;
        case KernelLock::Result::Failed:
            return false;
        case KernelLock::Result::Unsupported:
            fallback.setStaleLockTime(kStaleLockMs);
            while (!fallback.tryLock(0)) {
                if (fallback.error() != QLockFile::LockFailedError || deadline.hasExpired())
                    return false;
                QThread::msleep(kLockRetryMs);
            }
            return true;
        case KernelLock::Result::Busy:
            break;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kLockRetryMs);
    }
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
    if (path.isEmpty() || !IsSectionName(View(sectionName)) || !IsKeyName(View(keyName)))
        return defaultValue;
    // NOTE: Reads take no lock: writes replace the file by a rename, so a read
    // always sees one whole version of it.
    const FileContents contents = ReadFileContents(path);
    if (contents.state != FileState::Present)
        return defaultValue;
    const std::string_view data = View(contents.bytes);
    const Place place = Locate(data, View(sectionName), View(keyName));
    if (!place.keyFound)
        return defaultValue;
    return ParseValue(data.substr(place.valueBegin, place.valueEnd - place.valueBegin));
}

bool WriteProfileString(const QString &section, const QString &key, const QString &value,
                        const QString &path, const QString &seed)
{
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    const QByteArray valueText = value.toUtf8();
    if (path.isEmpty() || !IsSectionName(View(sectionName)) || !IsKeyName(View(keyName)) ||
        !IsValueText(View(valueText)))
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
    KernelLock lock(lockPath);
    QLockFile fallback(lockPath);
    if (!AcquireLock(lock, fallback))
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
            path, WithValue(View(base), View(sectionName), View(keyName), View(valueText)));
    }
    const QByteArray updated =
        WithValue(View(old.bytes), View(sectionName), View(keyName), View(valueText));
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

void IniFileStore::writeText(const QString &section, const QString &key, const QString &value)
{
    // NOTE: A failed write is lost without a word; the run goes on.
    const ConfigFile file = m_where();
    WriteProfileString(section, key, value, file.path, file.seed);
}

} // namespace settings
