// SPDX-License-Identifier: MIT
// The settings file: values as read, exact file texts after a write, whole
// replacement under a lock, and where the file lives. Arbitrary bytes are the
// fuzz target's (fuzz_settings.cpp).
#include "main/settingspath.h"
#include "main/settingsstore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kDefault = 77; // tells "key missing" apart from a value of 0

/// The bytes of a regular file; empty for anything else (a pipe would block).
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                      : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

/// Everything in @p folder and its subfolders, symbolic links not followed.
QStringList AllIn(const QString &folder)
{
    QStringList all;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        all.append(it.next());
    all.sort();
    return all;
}

/// Starts a process that runs @p body and ends with the code it returns.
template <typename Body> pid_t Spawn(Body body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body()); // NOTE: _exit: the exit handlers belong to the parent
    return pid;
}

/// Waits for @p pid to end and gives its exit code, or -1. NOTE: The test's
/// CTest timeout bounds the wait should a process hang.
int ExitCode(pid_t pid)
{
    int status = 0;
    const bool exited = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    return exited ? WEXITSTATUS(status) : -1;
}

constexpr uid_t kNobody = 65534;

/// @p ascii in UTF-16 with a byte order mark.
std::string Utf16(std::string_view ascii, bool bigEndian = false)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii)
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
}

/// Runs @p body where file permissions bind. NOTE: They do not bind root, so as
/// root @p folder and all in it go to the user nobody, who runs @p body.
void WithoutPrivileges(const QString &folder, const std::function<void()> &body)
{
    if (geteuid() != 0)
        return body();
    const QStringList all = AllIn(folder) << folder;
    for (const QString &path : all)
        ASSERT_EQ(lchown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
    // NOTE: The saved IDs stay 0 so that root can come back afterwards; the
    // real ones change too, because access() checks them.
    ASSERT_EQ(setresgid(kNobody, kNobody, 0), 0);
    ASSERT_EQ(setresuid(kNobody, kNobody, 0), 0);
    body();
    ASSERT_EQ(setresuid(0, 0, 0), 0);
    ASSERT_EQ(setresgid(0, 0, 0), 0);
}

class SettingsFile : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(u"Config.ini"_s); }
    /// Reads A/k, kDefault when missing.
    int get() const { return settings::ReadProfileInt(u"A"_s, u"k"_s, kDefault, path()); }
    /// Writes "section/key=value".
    bool set(const std::string &assignment) const
    {
        const QString text = QString::fromStdString(assignment);
        const QString name = text.section(u'=', 0, 0);
        return settings::WriteProfileString(name.section(u'/', 0, 0), name.section(u'/', 1),
                                            text.section(u'=', 1), path())
            .ok();
    }
    /// No temporary or lock file is left beside Config.ini.
    bool onlyTheFile() const { return AllIn(m_dir.path()) == QStringList{path()}; }

    QTemporaryDir m_dir;
};

TEST_F(SettingsFile, ReadRules)
{
    EXPECT_EQ(get(), kDefault) << "no file";
    // A value: blanks, a sign, then digits up to the first other character.
    const std::pair<const char *, int> values[] = {
        {"-1200", -1200}, {"12abc", 12}, {"abc", 0},        {"", 0},    {"-", 0},
        {"+7", 7},        {"- 5", 0},    {" \t 042 2", 42}, {"0x40", 0}};
    for (const auto &[value, expected] : values) {
        WriteAll(path(), "[A]\nk="_ba + value + "\n");
        EXPECT_EQ(get(), expected) << value;
    }
    const std::pair<std::string, int> files[] = {
        // Beyond 32 bits a value stops at the nearest limit.
        {"[A]\nk=2147483648\n", INT_MAX},
        {"[A]\nk=-2147483649\n", INT_MIN},
        {"[A]\nk=" + std::string(100, '9') + "\n", INT_MAX},
        // Missing sections and keys: no prefix, comment or key outside a section counts.
        {"[B]\nk=1\n[AB]\nk=2\n", kDefault},
        {"k=1\n[A]\nj=1\nkk=2\nk\n;k=3\n# k=4\n[B]\nk=5\n", kDefault},
        // ASCII letter case and blanks around names do not count; the first
        // section and the first key of a name win.
        {"[a]\nK=5\n", 5},
        {"  [ \tA\t ] ; note\n \t k \t =9\n", 9},
        {"[A]\nk=1\nK=2\n[a]\nk=3\n", 1},
        {"[A]\nj=1\n[a]\nk=2\n", kDefault},
        // A byte order mark, CR LF line ends, no line end at the end.
        {"\xEF\xBB\xBF[A]\r\nk=6\r\n", 6},
        {"[A]\nk=8", 8},
        {Utf16("[A]\r\nk=-3\r\n"), -3}};
    for (const auto &[file, expected] : files) {
        WriteAll(path(), QByteArray::fromStdString(file));
        EXPECT_EQ(get(), expected) << file.substr(0, 40);
    }
}

TEST_F(SettingsFile, WriteChangesOnlyWhatItMust)
{
    // Line ends follow the line written to, or the file's first line for a new one.
    const std::tuple<std::optional<std::string>, const char *, std::string> cases[] = {
        {std::nullopt, "Use/NumberOfUse=1", "[Use]\nNumberOfUse=1\n"},
        {"[ use ]\n  numberofuse = 1 ; old\n", "Use/NumberOfUse=2", "[ use ]\n  numberofuse =2\n"},
        {"[A]\nj=1\n\n; note\n[B]\n", "A/k=2", "[A]\nj=1\nk=2\n\n; note\n[B]\n"},
        {"[A]", "A/k=3", "[A]\nk=3\n"},
        {"; hi\n[A]\nj=1\n\n", "U/N=1", "; hi\n[A]\nj=1\n\n[U]\nN=1\n"},
        {"[U]\r\nN=1\r\n\r\n[B]\r\n", "U/M=2", "[U]\r\nN=1\r\nM=2\r\n\r\n[B]\r\n"},
        {"[U]\r\nN=1", "U/M=2", "[U]\r\nN=1\r\nM=2\r\n"},
        {"[U]\r\nN=1", "B/k=0", "[U]\r\nN=1\r\n[B]\r\nk=0\r\n"},
        {"[U]\nN=1\r\n", "B/k=0", "[U]\nN=1\r\n[B]\nk=0\n"},
        {"[A]\nk=1\r", "A/k=", "[A]\nk=\r"},
        {"\xEF\xBB\xBF[U]\nN=1\n", "U/N=2", "\xEF\xBB\xBF[U]\nN=2\n"},
        {Utf16("[U]\nN=1", true), "U/N=2", Utf16("[U]\nN=2", true)}}; // stays UTF-16
    for (const auto &[before, assignment, after] : cases) {
        SCOPED_TRACE(before.value_or("(no file)") + " + " + assignment);
        QFile::remove(path());
        if (before)
            WriteAll(path(), QByteArray::fromStdString(*before));
        ASSERT_TRUE(set(assignment));
        EXPECT_EQ(ReadAll(path()), QByteArray::fromStdString(after));
        EXPECT_TRUE(onlyTheFile());
    }
}

// The file is replaced whole: a writer that dies with the lock held, just
// before its complete temporary file would replace the settings file, leaves
// the old file, and the next writer takes the lock over. The new file keeps
// the old one's permissions and owner, and a symbolic link stays a link to
// the file it names.
TEST_F(SettingsFile, ReplacementIsWholeOrNothing)
{
    const QByteArray before = "[U]\r\nN=41\r\n; keep me\r\n"_ba;
    WriteAll(path(), before);
    const pid_t writer = Spawn([this] {
        settings::detail::SetBeforeReplaceHook([]() -> bool { _exit(0); });
        set("U/N=42");
        return 3; // the hook was not reached
    });
    ASSERT_EQ(ExitCode(writer), 0);
    EXPECT_EQ(ReadAll(path()), before);
    EXPECT_TRUE(QFileInfo::exists(path() + u".lock"_s)) << "the dead writer left no lock";
    ASSERT_TRUE(set("U/N=43")) << "the dead writer's lock was not taken over";
    EXPECT_TRUE(onlyTheFile());
    // As root: no permissions at all and another owner, which root could change.
    const QByteArray name = QFile::encodeName(path());
    const bool root = geteuid() == 0;
    ASSERT_EQ(::chmod(name.constData(), root ? 0 : 0604), 0);
    ASSERT_EQ(::chown(name.constData(), root ? kNobody : geteuid(), root ? kNobody : getegid()), 0);
    ASSERT_TRUE(set("U/N=44"));
    struct stat kept = {};
    ASSERT_EQ(::stat(name.constData(), &kept), 0);
    EXPECT_EQ(kept.st_mode & 07777, root ? 0u : 0604u);
    EXPECT_EQ(kept.st_uid, root ? kNobody : geteuid());
    if (root) {
        // A lock file root left in a user's folder does not lock the user out.
        ASSERT_EQ(::chmod(name.constData(), 0600), 0);
        ASSERT_EQ(::chown(QFile::encodeName(m_dir.path()).constData(), kNobody, kNobody), 0);
        WriteAll(path() + u".lock"_s, {});
        const pid_t user = Spawn([this] {
            const bool asUser = setresgid(kNobody, kNobody, kNobody) == 0 &&
                                setresuid(kNobody, kNobody, kNobody) == 0;
            return asUser && set("U/N=45") ? 0 : 1;
        });
        EXPECT_EQ(ExitCode(user), 0);
    }

    ASSERT_TRUE(QFile::rename(path(), m_dir.filePath(u"real.ini"_s)));
    ASSERT_TRUE(QFile::link(u"real.ini"_s, path()));
    ASSERT_TRUE(set("U/N=46"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(ReadAll(m_dir.filePath(u"real.ini"_s)), "[U]\r\nN=46\r\n; keep me\r\n"_ba);
}

// A write that cannot be made says why and leaves everything as it was.
TEST_F(SettingsFile, RefusedWritesSayWhyAndChangeNothing)
{
    using settings::WriteFailure;
    const QByteArray lock = QFile::encodeName(path() + u".lock"_s);
    const QByteArray before = "; mine\n[A]\nk=1\n"_ba;
    WriteAll(path(), before);
    // key, value, the lock held by another copy, the failure
    const std::tuple<const char16_t *, const char16_t *, bool, WriteFailure> cases[] = {
        {u"k=j", u"1", false, WriteFailure::Refused},
        {u"k", u"1\n[B]", false, WriteFailure::Refused},
        {u"k", u"2", true, WriteFailure::LockTimeout}};
    for (const auto &[key, value, locked, failure] : cases) {
        const int held =
            locked ? ::open(lock.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600) : -1;
        EXPECT_EQ(locked ? ::flock(held, LOCK_EX) : 0, 0);
        const settings::WriteResult result = settings::WriteProfileString(
            u"A"_s, QString::fromUtf16(key), QString::fromUtf16(value), path());
        if (locked) {
            ::unlink(lock.constData());
            ::close(held);
        }
        EXPECT_EQ(result.failure, failure) << QString::fromUtf16(value).toStdString();
        EXPECT_EQ(result.path, path());
        EXPECT_EQ(ReadAll(path()), before);
        EXPECT_TRUE(onlyTheFile());
    }
}

// A write that does not wholly reach the disk replaces nothing: the old file
// stays, no temporary file is left, and no per-user file is made from the
// seed (an empty one would hide the seed from then on). The disk is a small
// file system filled up where the test may mount one, else a file size limit.
TEST(SettingsDisk, AFullDiskReplacesNothing)
{
    QTemporaryDir temporary;
    const QString small = temporary.filePath(u"small"_s);
    const QString seed = temporary.filePath(u"seed.ini"_s);
    ASSERT_TRUE(QDir().mkpath(small));
    WriteAll(seed, "[A]\nk=1\n"_ba);
    const QByteArray before = "; mine\n[Color]\nRed=10\n"_ba;
    const QString file = small + u"/Config.ini"_s;
    const pid_t child = Spawn([&] {
        const bool mounted =
            geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
            ::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=64k") == 0;
        QFile old(file);
        if (!old.open(QIODevice::WriteOnly) || old.write(before) != before.size() || !old.flush())
            return 5;
        QFile fill(small + u"/fill"_s);
        if (mounted && fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            while (fill.write(QByteArray(4096, 'x')) > 0) {
            }
        } else {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4, 4};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        const QStringList left = AllIn(small);
        const settings::WriteResult full =
            settings::WriteProfileString(u"Color"_s, u"Red"_s, u"200"_s, file);
        const settings::WriteResult seeded =
            settings::WriteProfileString(u"A"_s, u"k"_s, u"2"_s, small + u"/u/Config.ini"_s, seed);
        return full.failure != settings::WriteFailure::Write          ? 1
               : full.error != (mounted ? ENOSPC : EFBIG)             ? 6
               : ReadAll(file) != before                              ? 2
               : seeded.failure != settings::WriteFailure::Write      ? 3
               : AllIn(small) != QStringList(left) << small + u"/u"_s ? 4
                                                                      : 0;
    });
    EXPECT_EQ(ExitCode(child), 0) << "1: no write failure reported, 2: the file changed, 3: no "
                                     "per-user write failure, 4: a file was left or made, 5: "
                                     "the old file could not be made, 6: not the full disk's error";
}

// Two copies writing at once lose nothing: every write reaches the file and
// the other copy's keys stay.
TEST_F(SettingsFile, TwoWritersLoseNothing)
{
    // NOTE: In a memory-backed folder when there is one: this test is about
    // the lock, and 1,000 syncs to a disk can take many seconds.
    QTemporaryDir memoryFolder(u"/dev/shm/vandrel-test-XXXXXX"_s);
    const QString base = memoryFolder.isValid() ? memoryFolder.path() : m_dir.path();
    const QString file = base + u"/Config.ini"_s;
    const QByteArray foreign = "; shared by two copies\n[Keep]\nx=1\n"_ba;
    WriteAll(file, foreign);
    // NOTE: A loaded machine can keep one copy waiting for the lock past its
    // bounded wait; that write reports it and is made again, as often as it
    // takes (the CTest timeout bounds the whole). Any other failure counts.
    const auto writerOf = [&file](const QString &key) {
        return [&file, key] {
            int failures = 0;
            for (int i = 1; i <= 500; ++i) {
                settings::WriteResult result;
                do
                    result = settings::WriteProfileString(u"Race"_s, key, QString::number(i), file);
                while (result.failure == settings::WriteFailure::LockTimeout);
                failures += !result.ok();
            }
            return failures;
        };
    };
    const pid_t first = Spawn(writerOf(u"A"_s));
    const pid_t second = Spawn(writerOf(u"B"_s));
    EXPECT_EQ(ExitCode(first), 0) << "writes of the first copy failed";
    EXPECT_EQ(ExitCode(second), 0) << "writes of the second copy failed";
    const QByteArray result = ReadAll(file);
    EXPECT_TRUE(result == foreign + "[Race]\nA=500\nB=500\n" ||
                result == foreign + "[Race]\nB=500\nA=500\n")
        << result.constData();
    EXPECT_EQ(AllIn(base), QStringList{file});
}

// Where the folder beside the program cannot hold the file, or the program is
// installed there, the store reads the file beside the program until its first
// write makes the user's copy of it (comments and all), which it uses from
// then on; the file beside the program never changes. Without a home folder
// there is no user's copy: writes fail and name the file beside the program.
// A writable folder of a program not installed is the end-to-end tests' (each
// runs a copy there).
TEST(SettingsPlace, ReadOnlyFoldersAndInstalledPrograms)
{
    const auto fileWith = [](QFile::Permissions permissions) {
        return [permissions](const QString &f) {
            WriteAll(f, "; written by hand\n[A]\nk=1\n"_ba);
            QFile::setPermissions(f, permissions);
        };
    };
    const auto readOnlyFolder = [](const QString &f) {
        QFile::setPermissions(QFileInfo(f).path(), QFile::ReadOwner | QFile::ExeOwner);
    };
    // name, preparation, installed there, first value read, a home folder
    const std::tuple<const char *, std::function<void(const QString &)>, bool, int, bool> cases[] =
        {{"ReadOnlyFile", fileWith(QFile::ReadOwner), false, 1, true},
         {"ReadOnlyFolder", readOnlyFolder, false, kDefault, true},
         {"Pipe", [](const QString &f) { mkfifo(QFile::encodeName(f).constData(), 0600); }, false,
          kDefault, true},
         {"InstalledWritableFile", fileWith(QFile::ReadOwner | QFile::WriteOwner), true, kDefault,
          true},
         {"ReadOnlyFileNoHome", fileWith(QFile::ReadOwner), false, 1, false}};
    for (const auto &[name, make, installed, firstRead, home] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir temporary;
        const QString exeDir = temporary.path() + u"/./bin"_s;
        const QString userDir = home ? temporary.path() + u"/user/Vandrel"_s : QString();
        const QString installDir = temporary.path() + (installed ? u"/bin"_s : u"/usr/bin"_s);
        const QString file = exeDir + u"/Config.ini"_s;
        ASSERT_TRUE(QDir().mkpath(exeDir));
        make(file);
        WithoutPrivileges(temporary.path(), [&, firstRead = firstRead, home = home] {
            const QStringList beside = AllIn(exeDir);
            const QByteArray besideText = ReadAll(file);
            settings::IniFileStore store(
                [&] { return settings::detail::ChooseConfigFile(exeDir, userDir, installDir); });
            EXPECT_EQ(store.readInt(u"A"_s, u"k"_s, kDefault), firstRead);
            const settings::WriteResult first = store.writeText(u"U"_s, u"N"_s, u"5"_s);
            EXPECT_EQ(first.failure,
                      home ? settings::WriteFailure::None : settings::WriteFailure::NoPlace);
            EXPECT_EQ(first.path, home ? userDir + u"/Config.ini"_s : file);
            EXPECT_EQ(store.writeText(u"A"_s, u"k"_s, u"3"_s).ok(), home);
            EXPECT_EQ(ReadAll(temporary.path() + u"/user/Vandrel/Config.ini"_s),
                      !home            ? QByteArray()
                      : firstRead == 1 ? "; written by hand\n[A]\nk=3\n[U]\nN=5\n"_ba
                                       : "[U]\nN=5\n[A]\nk=3\n"_ba);
            EXPECT_EQ(AllIn(exeDir), beside);
            EXPECT_EQ(ReadAll(file), besideText);
        });
    }
}

TEST(SettingsPlace, UserFolderFollowsTheXdgRules)
{
    // A relative XDG_CONFIG_HOME or HOME counts as unset.
    using settings::detail::UserConfigFolder;
    EXPECT_EQ(UserConfigFolder(u"/x/conf"_s, u"/home/u"_s), u"/x/conf/Vandrel"_s);
    EXPECT_EQ(UserConfigFolder(u"conf"_s, u"/home/u/"_s), u"/home/u/.config/Vandrel"_s);
    EXPECT_EQ(UserConfigFolder(u"conf"_s, u"home"_s), QString());
}

} // namespace
