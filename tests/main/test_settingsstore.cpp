// SPDX-License-Identifier: MIT
#include "main/settingspath.h"
#include "main/settingsstore.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::string_literals;
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

/// Everything in @p folder, with inode and modification time of all but the
/// folders (whose times change as files come and go): any write shows.
std::string Fingerprint(const QString &folder)
{
    std::string print;
    for (const QString &path : AllIn(folder)) {
        struct stat info = {};
        lstat(QFile::encodeName(path).constData(), &info);
        print += path.toStdString() + '\n';
        if (!S_ISDIR(info.st_mode))
            print +=
                std::to_string(info.st_ino) + ' ' + std::to_string(info.st_mtim.tv_nsec) + '\n';
    }
    return print;
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

/// Runs @p body where file permissions bind. NOTE: They do not bind root, so as
/// root @p folder and all in it go to the user nobody, who runs @p body.
void WithoutPrivileges(const QString &folder, const std::function<void()> &body)
{
    if (geteuid() != 0)
        return body();
    constexpr uid_t kNobody = 65534;
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
    /// Reads "section/key", kDefault when missing.
    int get(const char *name) const
    {
        const QString text = QString::fromUtf8(name);
        return settings::ReadProfileInt(text.section(u'/', 0, 0), text.section(u'/', 1), kDefault,
                                        path());
    }
    /// Writes "section/key=value".
    bool set(const std::string &assignment) const
    {
        const QString text = QString::fromStdString(assignment);
        const QString name = text.section(u'=', 0, 0);
        return settings::WriteProfileString(name.section(u'/', 0, 0), name.section(u'/', 1),
                                            text.section(u'=', 1), path());
    }
    /// No temporary or lock file is left beside Config.ini.
    bool onlyTheFile() const { return AllIn(m_dir.path()) == QStringList{path()}; }

    QTemporaryDir m_dir;
};

TEST_F(SettingsFile, ReadRules)
{
    EXPECT_EQ(get("A/k"), kDefault) << "no file";
    EXPECT_EQ(settings::ReadProfileInt(u"A"_s, u"k"_s, 4, m_dir.filePath(u"no/Config.ini"_s)), 4);

    const std::pair<const char *, int> values[] = {
        {"-1200", -1200}, {"12abc", 12}, {"abc", 0},        {"", 0},    {"-", 0},
        {"+7", 7},        {"- 5", 0},    {" \t 042 2", 42}, {"0x40", 0}};
    for (const auto &[value, expected] : values) {
        WriteAll(path(), "[A]\nk="_ba + value + "\n");
        EXPECT_EQ(get("A/k"), expected) << value;
    }

    const std::string longLine(100000, 'x');
    const std::string nines(100000, '9');
    const std::pair<std::string, int> files[] = {
        // Beyond 32 bits a value stops at the nearest limit.
        {"[A]\nk=2147483647\n", INT_MAX},
        {"[A]\nk=2147483648\n", INT_MAX},
        {"[A]\nk=-2147483648\n", INT_MIN},
        {"[A]\nk=-2147483649\n", INT_MIN},
        {"[A]\nk=" + nines + "\n", INT_MAX},
        {"[A]\nk=-" + nines + "x\n", INT_MIN},
        // Missing sections and keys.
        {"", kDefault},
        {"[B]\nk=1\n[AB]\nk=2\n", kDefault},
        {"k=1\n[A]\nj=1\nkk=2\nk\n;k=3\n# k=4\n[B]\nk=5\n", kDefault},
        // Names: ASCII letter case and blanks around them do not count.
        {"[a]\nK=5\n", 5},
        {"  [ \tA\t ] ; note\n \t k \t =9\n", 9},
        {"[A\nk=1=2\n", 1},
        // The first section and the first key of a name win.
        {"[A]\nk=1\nK=2\n[a]\nk=3\n", 1},
        {"[A]\nj=1\n[a]\nk=2\n", kDefault},
        // Layout and damaged files.
        {"\xEF\xBB\xBF[A]\nk=5\n", 5},
        {"\xEF\xBB\xBF", kDefault},
        {"\xEF\xBB\xBF[A]\r\nk=6\r\n", 6},
        {"[A]\r\nk=\r\n", 0},
        {"[A]\nk=8", 8},
        {"\0\0[junk\0]\n[A]\nk=1\0"s + "2\n", 1},
        {"\xFF\xFE\x01\n[A]\n\x80\x81=\xC0\nk=11\n\xFF", 11},
        {longLine + "\n[" + longLine + "]\n[A]\n" + longLine + "=1\nk=4\n", 4}};
    for (const auto &[file, expected] : files) {
        WriteAll(path(), QByteArray::fromStdString(file));
        EXPECT_EQ(get("A/k"), expected) << file.substr(0, 40);
    }

    // Beyond ASCII, names match exactly; a blank inside a key name is part of it.
    WriteAll(path(), "[F\xC3\xA4rg]\nR\xC3\xB6\x64=3\nmy key=4\n"_ba);
    EXPECT_EQ(get("F\xC3\xA4rg/R\xC3\xB6\x64"), 3);
    EXPECT_EQ(get("F\xC3\xA4rg/my key"), 4);
    EXPECT_EQ(get("F\xC3\x84RG/R\xC3\xB6\x64"), kDefault);
}

TEST_F(SettingsFile, WriteChangesOnlyWhatItMustAndIsReadBack)
{
    const std::tuple<std::optional<std::string>, const char *, std::string> cases[] = {
        {std::nullopt, "Use/NumberOfUse=1", "[Use]\nNumberOfUse=1\n"},
        {"", "Use/NumberOfUse=1", "[Use]\nNumberOfUse=1\n"},
        {"[ use ]\n  numberofuse = 1 ; old\n", "Use/NumberOfUse=2", "[ use ]\n  numberofuse =2\n"},
        {"[A]\nk=1\nk=2\n[a]\nk=3\n", "a/K=9", "[A]\nk=9\nk=2\n[a]\nk=3\n"},
        {"[A]\nj=1\n[a]\nk=2\n", "A/k=9", "[A]\nj=1\nk=9\n[a]\nk=2\n"},
        {"[A]\nj=1\n\n; note\n[B]\n", "A/k=2", "[A]\nj=1\nk=2\n\n; note\n[B]\n"},
        {"[A]\n[B]\n", "A/k=3", "[A]\nk=3\n[B]\n"},
        {"[A]", "A/k=3", "[A]\nk=3\n"},
        {"[A]\nnot a key\n\n", "A/k=1", "[A]\nnot a key\nk=1\n\n"},
        {"; hi\n[A]\nj=1\n\n", "U/N=1", "; hi\n[A]\nj=1\n\n[U]\nN=1\n"},
        {"k=1\n", "A/k=5", "k=1\n[A]\nk=5\n"},
        {"[U]\r\nN=1\r\n\r\n[B]\r\n", "U/M=2", "[U]\r\nN=1\r\nM=2\r\n\r\n[B]\r\n"},
        {"[U]\r\nN=1", "U/M=2", "[U]\r\nN=1\r\nM=2\r\n"},
        {"[U]\r\nN=1", "B/k=0", "[U]\r\nN=1\r\n[B]\r\nk=0\r\n"},
        {"[U]\nN=1\r\n", "B/k=0", "[U]\nN=1\r\n[B]\nk=0\n"},
        {"\xEF\xBB\xBF[U]\nN=1\n", "U/N=2", "\xEF\xBB\xBF[U]\nN=2\n"},
        {"\xEF\xBB\xBF", "U/N=1", "\xEF\xBB\xBF[U]\nN=1\n"},
        {"[A]\nk=1\r", "A/k=", "[A]\nk=\r"},
        {"[A\r", "a/a=5", "[A\r\na=5\n"},
        {"[B]\r", "A/k=1", "[B]\r\n[A]\nk=1\n"},
        {"\xFF\xFE\0x\n[A]\n\x80=\xC0\0\nk=1\n\xE2\x82\xAC"s, "A/k=2",
         "\xFF\xFE\0x\n[A]\n\x80=\xC0\0\nk=2\n\xE2\x82\xAC"s}};
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

// The file is replaced whole: a writer stopped after the new text is in its
// temporary file, by a failure or by death with the lock held, leaves the old
// file. The new file keeps the old one's permissions.
TEST_F(SettingsFile, ReplacementIsWholeOrNothing)
{
    const QByteArray before = "[U]\r\nN=41\r\n; keep me\r\n"_ba;
    WriteAll(path(), before);
    bool oldFileIntact = false;
    settings::detail::SetBeforeReplaceHook([&] {
        oldFileIntact = ReadAll(path()) == before;
        return false;
    });
    EXPECT_FALSE(set("U/N=42"));
    settings::detail::SetBeforeReplaceHook({});
    EXPECT_TRUE(oldFileIntact) << "the hook was not reached, or the file changed before it";
    EXPECT_EQ(ReadAll(path()), before);
    EXPECT_TRUE(onlyTheFile());

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

    const QFile::Permissions kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path(), kept));
    ASSERT_TRUE(set("U/N=44"));
    EXPECT_EQ(QFileInfo(path()).permissions() & (QFile::ReadGroup | QFile::ReadOther),
              QFile::ReadOther);
}

TEST_F(SettingsFile, TwoWritersLoseNothing)
{
    // NOTE: In a memory-backed folder when there is one: this test is about
    // the lock, and 2,000 syncs to a disk can take many seconds.
    QTemporaryDir memoryFolder(u"/dev/shm/vandrel-test-XXXXXX"_s);
    const QString base = memoryFolder.isValid() ? memoryFolder.path() : m_dir.path();
    const QString file = base + u"/Config.ini"_s;
    const QByteArray foreign = "; shared by two copies\n[Keep]\nx=1\n"_ba;
    WriteAll(file, foreign);
    const auto writerOf = [&file](const QString &key) {
        return [&file, key] {
            int failures = 0;
            for (int i = 1; i <= 1000; ++i)
                failures += !settings::WriteProfileString(u"Race"_s, key, QString::number(i), file);
            return failures;
        };
    };
    const pid_t first = Spawn(writerOf(u"A"_s));
    const pid_t second = Spawn(writerOf(u"B"_s));
    EXPECT_EQ(ExitCode(first), 0) << "writes of the first copy failed";
    EXPECT_EQ(ExitCode(second), 0) << "writes of the second copy failed";
    const QByteArray result = ReadAll(file);
    EXPECT_TRUE(result == foreign + "[Race]\nA=1000\nB=1000\n" ||
                result == foreign + "[Race]\nB=1000\nA=1000\n")
        << result.constData();
    EXPECT_EQ(AllIn(base), QStringList{file});
}

// A megabyte is an ordinary file, written through a symbolic link.
TEST_F(SettingsFile, LargeFileThroughASymlink)
{
    QByteArray big;
    for (int i = 0; big.size() < 1024 * 1024; ++i)
        big += "[S" + QByteArray::number(i) + "]\nkey=" + QByteArray::number(i) + "\n";
    const QString real = m_dir.filePath(u"real.ini"_s);
    WriteAll(real, big + "[Last]\nk=9\n");
    ASSERT_TRUE(QFile::link(u"real.ini"_s, path()));
    EXPECT_EQ(get("S1000/key"), 1000);
    ASSERT_TRUE(set("Last/k=10"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(ReadAll(real), big + "[Last]\nk=10\n");
}

// With something at bin/Config.ini, as a user: a read there gives the value or
// the default, and a write there works or changes nothing. The store keeps the
// file beside the program when that folder can hold it and the program is not
// installed there; otherwise it reads the file beside the program until its
// first write makes the user's copy of it (comments and all), which it uses
// from then on. The file beside the program never changes then.
TEST(SettingsPlace, OddFilesReadOnlyFoldersAndInstalledPrograms)
{
    const QByteArray content = "; written by hand\n[A]\nk=1\n"_ba;
    const auto fileWith = [content](QFile::Permissions permissions) {
        return [permissions, content](const QString &f) {
            WriteAll(f, content);
            QFile::setPermissions(f, permissions);
        };
    };
    const auto readOnlyFolder = [](const QString &f) {
        QFile::setPermissions(QFileInfo(f).path(), QFile::ReadOwner | QFile::ExeOwner);
    };
    const auto both = [](auto first, auto second) {
        return [first, second](const QString &f) { first(f), second(f); };
    };
    // name, preparation, value read, a direct write beside works, installed there
    const std::tuple<const char *, std::function<void(const QString &)>, int, bool, bool> cases[] =
        {{"NoFileYet", [](const QString &) {}, kDefault, true, false},
         {"WritableFile", fileWith(QFile::ReadOwner | QFile::WriteOwner), 1, true, false},
         {"Directory", [](const QString &f) { QDir().mkdir(f); }, kDefault, false, false},
         {"DanglingLink", [](const QString &f) { QFile::link(u"gone.ini"_s, f); }, kDefault, false,
          false},
         {"Pipe", [](const QString &f) { mkfifo(QFile::encodeName(f).constData(), 0600); },
          kDefault, false, false},
         {"Unreadable", fileWith(QFile::WriteOwner), kDefault, false, false},
         {"ReadOnlyFile", fileWith(QFile::ReadOwner), 1, false, false},
         {"ReadOnlyFolder", readOnlyFolder, kDefault, false, false},
         {"ReadOnlyFolderAndFile", both(fileWith(QFile::ReadOwner), readOnlyFolder), 1, false,
          false},
         {"InstalledNoFile", [](const QString &) {}, kDefault, true, true},
         {"InstalledWritableFile", fileWith(QFile::ReadOwner | QFile::WriteOwner), 1, true, true}};
    for (const auto &[name, make, readBack, writableBeside, installed] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir temporary;
        const QString exeDir = temporary.path() + u"/./bin"_s;
        const QString file = exeDir + u"/Config.ini"_s;
        const QString userDir = temporary.path() + u"/user/Vandrel"_s;
        const QString userFile = userDir + u"/Config.ini"_s;
        const QString installDir = temporary.path() + (installed ? u"/bin"_s : u"/usr/bin"_s);
        ASSERT_TRUE(QDir().mkpath(exeDir) && QDir().mkpath(temporary.path() + u"/usr/bin"_s));
        make(file);
        WithoutPrivileges(temporary.path(), [&, readBack = readBack,
                                             writableBeside = writableBeside,
                                             installed = installed] {
            const std::string before = Fingerprint(exeDir);
            const bool existed = QFileInfo(file).isFile();
            const QByteArray original = ReadAll(file);
            EXPECT_EQ(settings::ReadProfileInt(u"A"_s, u"k"_s, kDefault, file), readBack);
            const bool written = settings::WriteProfileString(u"A"_s, u"k"_s, u"2"_s, file);
            EXPECT_EQ(written, writableBeside);
            EXPECT_TRUE(written || Fingerprint(exeDir) == before);
            if (written && existed)
                WriteAll(file, original);
            else if (written)
                QFile::remove(file);

            const std::string beside = Fingerprint(exeDir);
            const QByteArray besideBytes = ReadAll(file);
            settings::IniFileStore store(
                [&] { return settings::detail::ChooseConfigFile(exeDir, userDir, installDir); });
            const bool inUserFolder = installed || !writableBeside;
            EXPECT_EQ(store.readInt(u"A"_s, u"k"_s, kDefault), installed ? kDefault : readBack);
            store.writeText(u"U"_s, u"N"_s, u"5"_s);
            store.writeText(u"A"_s, u"k"_s, u"3"_s);
            EXPECT_EQ(store.readInt(u"U"_s, u"N"_s, 0), 5);
            EXPECT_EQ(store.readInt(u"A"_s, u"k"_s, 0), 3);
            EXPECT_EQ(QFileInfo::exists(userFile), inUserFolder);
            if (inUserFolder) {
                EXPECT_EQ(Fingerprint(exeDir), beside);
                EXPECT_EQ(ReadAll(file), besideBytes);
                const bool seeded = !installed && readBack == 1;
                EXPECT_EQ(ReadAll(userFile), seeded ? "; written by hand\n[A]\nk=3\n[U]\nN=5\n"_ba
                                                    : "[U]\nN=5\n[A]\nk=3\n"_ba);
            }
        });
    }
}

} // namespace
