// SPDX-License-Identifier: MIT
#include "main/settingspath.h"
#include "main/settingsstore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <poll.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::string_literals;
using namespace Qt::StringLiterals;

namespace {

constexpr int kDefault = 77; // tells "key missing" apart from a value of 0

QString Str(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray Bytes(const std::string &text)
{
    return {text.data(), static_cast<qsizetype>(text.size())};
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

bool RunningAsRoot()
{
    return geteuid() == 0;
}

/// True when @p after is @p before with one stretch of a single line replaced
/// or something inserted: every other byte kept its place.
bool IsSingleSplice(const QByteArray &before, const QByteArray &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const QByteArray removed = before.mid(prefix, before.size() - prefix - suffix);
    return !removed.contains('\n');
}

/// A child process made by fork(); the test waits for it with a bound.
class Child
{
public:
    /// Runs @p body in a new process, which ends with the code @p body returns.
    template <typename Body> static Child Start(Body body)
    {
        int ends[2] = {-1, -1};
        if (pipe(ends) != 0)
            return Child{};
        const pid_t pid = fork();
        if (pid == 0) {
            close(ends[0]);
            // NOTE: _exit, not exit: the child must not run the test
            // framework's or Qt's exit handlers, which belong to the parent.
            _exit(body());
        }
        close(ends[1]);
        Child child;
        child.m_pid = pid;
        child.m_endOfLife = ends[0];
        return child;
    }

    Child(Child &&other) noexcept
        : m_pid(std::exchange(other.m_pid, -1)), m_endOfLife(std::exchange(other.m_endOfLife, -1))
    {
    }
    Child &operator=(Child &&) = delete;
    ~Child()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_endOfLife >= 0)
            close(m_endOfLife);
    }

    bool started() const { return m_pid > 0; }

    /// True once the process has ended (its end of the pipe closed), waiting
    /// at most @p timeoutMs.
    bool hasEnded(int timeoutMs) const
    {
        pollfd watch{m_endOfLife, POLLIN, 0};
        return poll(&watch, 1, timeoutMs) == 1;
    }

    /// Waits at most @p timeoutMs for the process to end and returns its exit
    /// code; a process that overruns is killed and gives -1.
    int exitCode(int timeoutMs)
    {
        if (m_pid <= 0)
            return -1;
        if (!hasEnded(timeoutMs))
            kill(m_pid, SIGKILL);
        int status = 0;
        const pid_t done = waitpid(m_pid, &status, 0);
        m_pid = -1;
        return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    Child() = default;
    pid_t m_pid = -1;
    int m_endOfLife = -1;
};

/// Names each case of a table after its `name` field.
struct CaseName
{
    template <typename Case> std::string operator()(const ::testing::TestParamInfo<Case> &c) const
    {
        return c.param.name;
    }
};

class SettingsFileTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("Config.ini")); }
    QString folder() const { return m_dir.path(); }

    int read(const char *section, const char *key) const
    {
        return settings::ReadProfileInt(Str(section), Str(key), kDefault, path());
    }
    bool write(const char *section, const char *key, const char *value) const
    {
        return settings::WriteProfileString(Str(section), Str(key), Str(value), path());
    }

    QTemporaryDir m_dir;
};

// ---------------------------------------------------------------------------
// Reading

struct ReadCase
{
    const char *name;
    std::string file;
    const char *section;
    const char *key;
    int expected;
};

void PrintTo(const ReadCase &c, std::ostream *out)
{
    *out << c.name;
}

class ReadRules : public SettingsFileTest, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(ReadRules, ReadsTheValueByTheRules)
{
    const ReadCase &c = GetParam();
    WriteAll(path(), Bytes(c.file));
    EXPECT_EQ(read(c.section, c.key), c.expected);
}

const std::vector<ReadCase> kReadCases = {
    // Values
    {"NegativeTwips", "[Position]\nTop=-1200\n", "Position", "Top", -1200},
    {"DigitsThenLetters", "[A]\nk=12abc\n", "A", "k", 12},
    {"LettersOnly", "[A]\nk=abc\n", "A", "k", 0},
    {"Empty", "[A]\nk=\n", "A", "k", 0},
    {"SignOnly", "[A]\nk=-\n", "A", "k", 0},
    {"PlusSign", "[A]\nk=+7\n", "A", "k", 7},
    {"SignThenBlank", "[A]\nk=- 5\n", "A", "k", 0},
    {"LeadingBlanks", "[A]\nk= \t 42\n", "A", "k", 42},
    {"LeadingZeros", "[A]\nk=007\n", "A", "k", 7},
    {"StopsAtBlank", "[A]\nk=4 2\n", "A", "k", 4},
    {"TrailingComment", "[A]\nk=5 ; note\n", "A", "k", 5},
    {"NoHexadecimal", "[A]\nk=0x40\n", "A", "k", 0},
    {"NegativeZero", "[A]\nk=-0\n", "A", "k", 0},
    // Beyond 32 bits the value stops at the nearest limit.
    {"IntMax", "[A]\nk=2147483647\n", "A", "k", INT_MAX},
    {"IntMaxPlusOne", "[A]\nk=2147483648\n", "A", "k", INT_MAX},
    {"IntMin", "[A]\nk=-2147483648\n", "A", "k", INT_MIN},
    {"IntMinMinusOne", "[A]\nk=-2147483649\n", "A", "k", INT_MIN},
    {"TwentyDigits", "[A]\nk=98765432109876543210\n", "A", "k", INT_MAX},
    {"HundredThousandDigits", "[A]\nk=" + std::string(100000, '9') + "\n", "A", "k", INT_MAX},
    {"HundredThousandNegative", "[A]\nk=-" + std::string(100000, '1') + "x\n", "A", "k", INT_MIN},
    // Missing things give the default.
    {"EmptyFile", "", "A", "k", kDefault},
    {"NoSection", "[B]\nk=1\n", "A", "k", kDefault},
    {"NoKey", "[A]\nj=1\n", "A", "k", kDefault},
    {"KeyInOtherSection", "[B]\nk=1\n[A]\nj=2\n", "A", "k", kDefault},
    {"KeyBeforeAnySection", "k=1\n[A]\n", "A", "k", kDefault},
    {"KeyAfterSectionEnds", "[A]\n[B]\nk=1\n", "A", "k", kDefault},
    {"LineWithoutEquals", "[A]\nk\n", "A", "k", kDefault},
    {"CommentedOut", "[A]\n;k=1\n# k=2\n", "A", "k", kDefault},
    {"SectionNameIsAPrefix", "[AB]\nk=1\n", "A", "k", kDefault},
    {"KeyNameIsAPrefix", "[A]\nkk=1\n", "A", "k", kDefault},
    // Names
    {"SectionCase", "[cOLOR]\nRed=5\n", "Color", "Red", 5},
    {"KeyCase", "[Color]\nrED=5\n", "Color", "Red", 5},
    {"NonAsciiNameExact", "[F\xC3\xA4rg]\nR\xC3\xB6\x64=3\n", "F\xC3\xA4rg", "R\xC3\xB6\x64", 3},
    {"NonAsciiNoCaseFolding", "[F\xC3\x84RG]\nk=3\n", "F\xC3\xA4rg", "k", kDefault},
    {"BlanksAroundNames", "  [ \tUse\t ]  \n \t NumberOfUse \t =9\n", "Use", "NumberOfUse", 9},
    {"TextAfterBracket", "[Use] ; counter\nN=1\n", "Use", "N", 1},
    {"UnclosedBracket", "[Use\nN=1\n", "Use", "N", 1},
    {"BlankInsideKeyName", "[A]\nmy key=3\n", "A", "my key", 3},
    {"EqualsInValue", "[A]\nk=4=5\n", "A", "k", 4},
    // First match wins.
    {"FirstKeyWins", "[A]\nk=1\nK=2\n", "A", "k", 1},
    {"FirstSectionWins", "[A]\nk=1\n[a]\nk=2\n", "A", "k", 1},
    {"OnlyFirstSectionSearched", "[A]\nj=1\n[a]\nk=2\n", "A", "k", kDefault},
    // Layout
    {"Bom", "\xEF\xBB\xBF[Use]\nNumberOfUse=5\n", "Use", "NumberOfUse", 5},
    {"BomAlone", "\xEF\xBB\xBF", "Use", "NumberOfUse", kDefault},
    {"Crlf", "[Use]\r\nNumberOfUse=5\r\n", "Use", "NumberOfUse", 5},
    {"CrlfLettersValue", "[A]\r\nk=abc\r\n", "A", "k", 0},
    {"CrlfEmptyValue", "[A]\r\nk=\r\n", "A", "k", 0},
    {"BomAndCrlf", "\xEF\xBB\xBF[A]\r\nk=6\r\n", "A", "k", 6},
    {"NoFinalNewline", "[A]\nk=8", "A", "k", 8},
    {"BlankLinesAndComments", "; top\n\n[A]\n\n# c\nk=3\n", "A", "k", 3},
    {"NulBytes",
     "\0\0[junk\0]\n[A]\nk=1\0"s
     "2\n",
     "A", "k", 1},
    {"BinaryAround", "\xFF\xFE\x01\n[A]\n\x80\x81=\xC0\nk=11\n\xFF", "A", "k", 11},
    {"LongLineBefore", std::string(100000, 'x') + "\n[A]\nk=4\n", "A", "k", 4},
    {"LongSectionName", "[" + std::string(100000, 's') + "]\n[A]\nk=4\n", "A", "k", 4},
    {"LongKeyLine", "[A]\n" + std::string(100000, 'k') + "=1\nk=4\n", "A", "k", 4},
};

INSTANTIATE_TEST_SUITE_P(Settings, ReadRules, ::testing::ValuesIn(kReadCases), CaseName());

TEST_F(SettingsFileTest, MissingFileOrFolderGivesTheDefault)
{
    EXPECT_EQ(read("Use", "NumberOfUse"), kDefault);
    EXPECT_EQ(settings::ReadProfileInt(Str("Use"), Str("NumberOfUse"), -3,
                                       folder() + QStringLiteral("/no/such/Config.ini")),
              -3);
    EXPECT_EQ(settings::ReadProfileInt(Str("Use"), Str("NumberOfUse"), 4, QString()), 4);
}

// ---------------------------------------------------------------------------
// Writing: exact bytes of the whole file

struct WriteCase
{
    const char *name;
    std::optional<std::string> before; ///< no value: the file does not exist
    const char *section;
    const char *key;
    const char *value;
    std::string after;
};

void PrintTo(const WriteCase &c, std::ostream *out)
{
    *out << c.name;
}

class WriteRules : public SettingsFileTest, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(WriteRules, ChangesOnlyWhatItMust)
{
    const WriteCase &c = GetParam();
    if (c.before)
        WriteAll(path(), Bytes(*c.before));
    ASSERT_TRUE(write(c.section, c.key, c.value));
    EXPECT_EQ(ReadAll(path()), Bytes(c.after));
    EXPECT_EQ(Entries(folder()), QStringList{QStringLiteral("Config.ini")});
}

const std::vector<WriteCase> kWriteCases = {
    {"CreatesTheFile", std::nullopt, "Use", "NumberOfUse", "1", "[Use]\nNumberOfUse=1\n"},
    {"IntoEmptyFile", "", "Use", "NumberOfUse", "1", "[Use]\nNumberOfUse=1\n"},
    {"ReplacesInPlace", "[Use]\nNumberOfUse=1\n", "Use", "NumberOfUse", "2",
     "[Use]\nNumberOfUse=2\n"},
    {"KeepsNameSpellingAndBlanks", "[ use ]\n  numberofuse = 1 ; old\n", "Use", "NumberOfUse", "2",
     "[ use ]\n  numberofuse =2\n"},
    {"ReplacesOnlyFirstKey", "[A]\nk=1\nk=2\n", "A", "k", "3", "[A]\nk=3\nk=2\n"},
    {"ReplacesInFirstSection", "[A]\nk=1\n[a]\nk=2\n", "a", "K", "9", "[A]\nk=9\n[a]\nk=2\n"},
    {"AddsToFirstSection", "[A]\nj=1\n[a]\nk=2\n", "A", "k", "9", "[A]\nj=1\nk=9\n[a]\nk=2\n"},
    {"NewKeyBeforeBlankAndComment", "[Color]\nRed=1\n\n; options\n[Check]\nKomozi=0\n", "Color",
     "Green", "2", "[Color]\nRed=1\nGreen=2\n\n; options\n[Check]\nKomozi=0\n"},
    {"NewKeyInEmptySection", "[Color]\n[Check]\n", "Color", "Red", "3",
     "[Color]\nRed=3\n[Check]\n"},
    {"NewKeyAfterHeaderWithoutNewline", "[Color]", "Color", "Red", "3", "[Color]\nRed=3\n"},
    {"NewKeyAfterLastLineWithoutNewline", "[Color]\nRed=1", "Color", "Green", "2",
     "[Color]\nRed=1\nGreen=2\n"},
    {"NewKeyAfterOtherLine", "[A]\nnot a key\n\n", "A", "k", "1", "[A]\nnot a key\nk=1\n\n"},
    {"NewSectionAtEnd", "; hi\n[Color]\nRed=1\n\n", "Use", "NumberOfUse", "1",
     "; hi\n[Color]\nRed=1\n\n[Use]\nNumberOfUse=1\n"},
    {"NewSectionAfterMissingNewline", "[Color]\nRed=1", "Use", "NumberOfUse", "1",
     "[Color]\nRed=1\n[Use]\nNumberOfUse=1\n"},
    {"NewSectionAfterKeysWithoutSection", "k=1\n", "A", "k", "5", "k=1\n[A]\nk=5\n"},
    {"CrlfReplace", "[Use]\r\nN=1\r\n", "Use", "N", "2", "[Use]\r\nN=2\r\n"},
    {"CrlfNewKey", "[Use]\r\nN=1\r\n\r\n[B]\r\n", "Use", "M", "2",
     "[Use]\r\nN=1\r\nM=2\r\n\r\n[B]\r\n"},
    {"CrlfNewSection", "[Use]\r\nN=1\r\n", "B", "k", "0", "[Use]\r\nN=1\r\n[B]\r\nk=0\r\n"},
    {"CrlfNoFinalNewline", "[Use]\r\nN=1", "B", "k", "0", "[Use]\r\nN=1\r\n[B]\r\nk=0\r\n"},
    {"LineBreaksFollowFirstLine", "[Use]\nN=1\r\n", "B", "k", "0", "[Use]\nN=1\r\n[B]\nk=0\n"},
    {"BomKept", "\xEF\xBB\xBF[Use]\nN=1\n", "Use", "N", "2", "\xEF\xBB\xBF[Use]\nN=2\n"},
    {"BomAlone", "\xEF\xBB\xBF", "Use", "N", "1", "\xEF\xBB\xBF[Use]\nN=1\n"},
    {"CrOnlyValueEnd", "[A]\nk=1\r", "A", "k", "2", "[A]\nk=2"},
    {"EmptyValue", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"},
    {"BinaryKept", "\xFF\xFE\0x\n[A]\n\x80=\xC0\0\nk=1\n\xE2\x82\xAC"s, "A", "k", "2",
     "\xFF\xFE\0x\n[A]\n\x80=\xC0\0\nk=2\n\xE2\x82\xAC"s},
};

INSTANTIATE_TEST_SUITE_P(Settings, WriteRules, ::testing::ValuesIn(kWriteCases), CaseName());

class RoundTrip : public SettingsFileTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(RoundTrip, ValueWrittenIsReadBack)
{
    ASSERT_TRUE(write("Position", "Top", GetParam()));
    EXPECT_EQ(ReadAll(path()), "[Position]\nTop="_ba + GetParam() + "\n");
    EXPECT_EQ(read("Position", "Top"), QByteArray(GetParam()).toInt());
}

INSTANTIATE_TEST_SUITE_P(Settings, RoundTrip,
                         ::testing::Values("-1200", "0", "1", "255", "2147483647", "-2147483648"));

TEST_F(SettingsFileTest, ForeignContentSurvivesTheProgramsWrites)
{
    const QByteArray before = "\xEF\xBB\xBF; Vandrel settings, edited by hand\r\n"
                              "\r\n"
                              "[Color]\r\n"
                              "Red=12\r\n"
                              "; a note about colours\r\n"
                              "Green = 0x40 ; hex is not read\r\n"
                              "\r\n"
                              "[Unknown]\r\n"
                              "A line without equals\r\n"
                              "\xC3\x9C\x62\x65r=\xE5\x80\xA4\r\n"
                              "\r\n"
                              "[Position]\r\n"
                              "Top=-1200\r\n"
                              "Left=abc\r\n"
                              "[Tail]\r\n"
                              "last=no newline"_ba;
    WriteAll(path(), before);

    ASSERT_TRUE(write("Color", "Red", "200"));
    ASSERT_TRUE(write("Color", "Green", "64"));
    ASSERT_TRUE(write("Color", "Blue", "5"));
    ASSERT_TRUE(write("Position", "ColorP", "1"));
    ASSERT_TRUE(write("Use", "NumberOfUse", "3"));
    ASSERT_TRUE(write("Setting", "Top", "1"));

    const QByteArray after = "\xEF\xBB\xBF; Vandrel settings, edited by hand\r\n"
                             "\r\n"
                             "[Color]\r\n"
                             "Red=200\r\n"
                             "; a note about colours\r\n"
                             "Green =64\r\n"
                             "Blue=5\r\n"
                             "\r\n"
                             "[Unknown]\r\n"
                             "A line without equals\r\n"
                             "\xC3\x9C\x62\x65r=\xE5\x80\xA4\r\n"
                             "\r\n"
                             "[Position]\r\n"
                             "Top=-1200\r\n"
                             "Left=abc\r\n"
                             "ColorP=1\r\n"
                             "[Tail]\r\n"
                             "last=no newline\r\n"
                             "[Use]\r\n"
                             "NumberOfUse=3\r\n"
                             "[Setting]\r\n"
                             "Top=1\r\n"_ba;
    EXPECT_EQ(ReadAll(path()), after);
    EXPECT_EQ(read("Position", "Top"), -1200);
    EXPECT_EQ(read("Setting", "Top"), 1);
    EXPECT_EQ(read("Position", "Left"), 0);
}

TEST_F(SettingsFileTest, FirstStartAndCloseGiveTheKnownLayout)
{
    ASSERT_TRUE(write("Use", "NumberOfUse", "1"));
    for (const char *key : {"Red", "Green", "Blue"})
        ASSERT_TRUE(write("Color", key, "0"));
    ASSERT_TRUE(write("Check", "Komozi", "0"));
    for (const char *key : {"Top", "Left", "ColorP"})
        ASSERT_TRUE(write("Position", key, "0"));
    for (const char *key : {"Top", "HideDokodemo"})
        ASSERT_TRUE(write("Setting", key, "0"));
    EXPECT_EQ(ReadAll(path()), "[Use]\nNumberOfUse=1\n"
                               "[Color]\nRed=0\nGreen=0\nBlue=0\n"
                               "[Check]\nKomozi=0\n"
                               "[Position]\nTop=0\nLeft=0\nColorP=0\n"
                               "[Setting]\nTop=0\nHideDokodemo=0\n"_ba);

    // Keys of the same name in different sections stay apart.
    ASSERT_TRUE(write("Setting", "Top", "2"));
    ASSERT_TRUE(write("Body", "Komozi", "1"));
    EXPECT_EQ(read("Setting", "Top"), 2);
    EXPECT_EQ(read("Position", "Top"), 0);
    EXPECT_EQ(read("Body", "Komozi"), 1);
    EXPECT_EQ(read("Check", "Komozi"), 0);
}

TEST_F(SettingsFileTest, WriteCreatesMissingFolders)
{
    const QString nested = folder() + QStringLiteral("/user/config/Vandrel/Config.ini");
    ASSERT_TRUE(settings::WriteProfileString(Str("Use"), Str("NumberOfUse"), Str("4"), nested));
    EXPECT_EQ(ReadAll(nested), "[Use]\nNumberOfUse=4\n"_ba);
}

ino_t InodeOf(const QString &path)
{
    struct stat info = {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

mode_t ModeOf(const QString &path)
{
    struct stat info = {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST_F(SettingsFileTest, SameValueLeavesTheFileAlone)
{
    WriteAll(path(), "[A]\nk=1\n"_ba);
    const ino_t before = InodeOf(path());
    ASSERT_TRUE(write("a", "K", "1"));
    EXPECT_EQ(ReadAll(path()), "[A]\nk=1\n"_ba);
    EXPECT_EQ(InodeOf(path()), before) << "the file was replaced";
}

struct BadName
{
    const char *name;
    const char *section;
    const char *key;
    const char *value;
    int readBack; ///< what a read of the same section and key gives
};

void PrintTo(const BadName &c, std::ostream *out)
{
    *out << c.name;
}

class BadNames : public SettingsFileTest, public ::testing::WithParamInterface<BadName>
{
};

// Names that could not be read back are refused; the file is not touched.
TEST_P(BadNames, AreRefused)
{
    const BadName &c = GetParam();
    // The line "=2" would answer an empty key name if such names were let through.
    const QByteArray before = "[A]\nk=1\n=2\n"_ba;
    WriteAll(path(), before);
    EXPECT_FALSE(write(c.section, c.key, c.value));
    EXPECT_EQ(ReadAll(path()), before);
    EXPECT_EQ(read(c.section, c.key), c.readBack);
    EXPECT_EQ(Entries(folder()), QStringList{QStringLiteral("Config.ini")});
}

INSTANTIATE_TEST_SUITE_P(Settings, BadNames,
                         ::testing::Values(BadName{"EmptySection", "", "k", "1", kDefault},
                                           BadName{"BracketInSection", "A]", "k", "1", kDefault},
                                           BadName{"BlankAroundSection", " A", "k", "1", kDefault},
                                           BadName{"NewlineInSection", "A\nB", "k", "1", kDefault},
                                           BadName{"EmptyKey", "A", "", "1", kDefault},
                                           BadName{"EqualsInKey", "A", "k=", "1", kDefault},
                                           BadName{"KeyLooksLikeSection", "A", "[k", "1", kDefault},
                                           BadName{"KeyLooksLikeComment", "A", ";k", "1", kDefault},
                                           BadName{"KeyLooksLikeHashComment", "A", "#k", "1",
                                                   kDefault},
                                           BadName{"TabAfterKey", "A", "k\t", "1", kDefault},
                                           BadName{"ControlInKey", "A", "k\x7F", "1", kDefault},
                                           BadName{"NewlineInValue", "A", "k", "1\n[B]", 1},
                                           BadName{"ReturnInValue", "A", "k", "1\r", 1}),
                         CaseName());

TEST_F(SettingsFileTest, PermissionsAreKept)
{
    WriteAll(path(), "[A]\nk=1\n"_ba);
    ASSERT_EQ(chmod(QFile::encodeName(path()).constData(), 0640), 0);
    ASSERT_TRUE(write("A", "k", "2"));
    EXPECT_EQ(ModeOf(path()), 0640u);
}

TEST_F(SettingsFileTest, NewFileFollowsTheUmask)
{
    const mode_t previous = umask(027);
    const bool written = write("A", "k", "1");
    umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(ModeOf(path()), 0640u);
}

// ---------------------------------------------------------------------------
// Safe replacement

TEST_F(SettingsFileTest, AbandonedWriteLeavesTheOldFile)
{
    const QByteArray before = "[Use]\r\nNumberOfUse=41\r\n; keep me\r\n"_ba;
    WriteAll(path(), before);
    bool reached = false;
    bool oldFileIntact = false;
    settings::detail::SetBeforeReplaceHook([&] {
        // By now the whole new text is written, and the file is still the old one.
        reached = true;
        oldFileIntact = ReadAll(path()) == before;
        return false;
    });
    const bool written = write("Use", "NumberOfUse", "42");
    settings::detail::SetBeforeReplaceHook({});

    EXPECT_TRUE(reached);
    EXPECT_TRUE(oldFileIntact);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(path()), before);
    EXPECT_EQ(read("Use", "NumberOfUse"), 41);
    EXPECT_EQ(Entries(folder()), QStringList{QStringLiteral("Config.ini")});
    ASSERT_TRUE(write("Use", "NumberOfUse", "42"));
    EXPECT_EQ(read("Use", "NumberOfUse"), 42);
}

TEST_F(SettingsFileTest, WriterKilledBeforeTheRenameLeavesTheOldFile)
{
    const QByteArray before = "[Use]\nNumberOfUse=41\n"_ba;
    WriteAll(path(), before);
    const QString file = path();

    Child writer = Child::Start([&file] {
        // The writer dies with the new text written to its temporary file and
        // the lock held, as a copy of the program killed at that moment would.
        settings::detail::SetBeforeReplaceHook([]() -> bool { _exit(0); });
        settings::WriteProfileString(Str("Use"), Str("NumberOfUse"), Str("42"), file);
        return 3; // the hook was not reached
    });
    ASSERT_TRUE(writer.started());
    ASSERT_EQ(writer.exitCode(10000), 0);

    EXPECT_EQ(ReadAll(path()), before);
    EXPECT_EQ(read("Use", "NumberOfUse"), 41);
    EXPECT_TRUE(QFileInfo::exists(path() + QStringLiteral(".lock")))
        << "the dead writer should have left its lock behind";

    // The next write takes over the dead writer's lock.
    ASSERT_TRUE(write("Use", "NumberOfUse", "43"));
    EXPECT_EQ(ReadAll(path()), "[Use]\nNumberOfUse=43\n"_ba);
    EXPECT_FALSE(QFileInfo::exists(path() + QStringLiteral(".lock")));
}

TEST_F(SettingsFileTest, StrayFilesBesideItDoNotMatter)
{
    WriteAll(path(), "[Use]\nNumberOfUse=1\n"_ba);
    // What a writer that died mid-way on another system might leave behind.
    WriteAll(path() + QStringLiteral(".tmp"), "[Use]\nNumberOf"_ba);
    WriteAll(path() + QStringLiteral(".aB3xYz"), QByteArray());
    EXPECT_EQ(read("Use", "NumberOfUse"), 1);
    ASSERT_TRUE(write("Use", "NumberOfUse", "2"));
    EXPECT_EQ(ReadAll(path()), "[Use]\nNumberOfUse=2\n"_ba);
}

// ---------------------------------------------------------------------------
// Several copies of the program at once

TEST_F(SettingsFileTest, TwoWritersLoseNothing)
{
    constexpr int kWrites = 1000;
    // NOTE: In a memory-backed folder when there is one: this test is about
    // the lock, and 2,000 syncs to a disk can take many seconds.
    QTemporaryDir memoryFolder(QStringLiteral("/dev/shm/vandrel-test-XXXXXX"));
    const QString base = memoryFolder.isValid() ? memoryFolder.path() : folder();
    const QString file = base + QStringLiteral("/Config.ini");
    const QByteArray foreign = "; shared by two copies\n[Keep]\nx=1\n"_ba;
    WriteAll(file, foreign);

    const auto writerOf = [&file](const char *key) {
        return [&file, key] {
            int failures = 0;
            for (int i = 1; i <= kWrites; ++i) {
                if (!settings::WriteProfileString(Str("Race"), Str(key), QString::number(i), file))
                    ++failures;
            }
            return failures == 0 ? 0 : 1;
        };
    };
    Child first = Child::Start(writerOf("A"));
    Child second = Child::Start(writerOf("B"));
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(second.started());

    // Meanwhile this process reads: each read sees a whole file, so the
    // foreign key is always there and a writer's counter never goes back.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    constexpr int kNone = -1;
    int lastA = kNone;
    bool whole = true;
    bool ordered = true;
    while (!(first.hasEnded(0) && second.hasEnded(0)) &&
           std::chrono::steady_clock::now() < deadline) {
        whole = whole && settings::ReadProfileInt(Str("Keep"), Str("x"), kNone, file) == 1;
        const int a = settings::ReadProfileInt(Str("Race"), Str("A"), kNone, file);
        if (lastA != kNone && (a == kNone || a < lastA))
            ordered = false;
        lastA = a;
        // Leave the processor to the writers for a moment, waking early when
        // the one still running ends.
        (first.hasEnded(0) ? second : first).hasEnded(1);
    }
    EXPECT_TRUE(whole) << "a read missed a key the writers never touch";
    EXPECT_TRUE(ordered) << "a read saw a writer's counter go back";

    EXPECT_EQ(first.exitCode(60000), 0) << "a write of the first copy failed";
    EXPECT_EQ(second.exitCode(60000), 0) << "a write of the second copy failed";
    const QByteArray result = ReadAll(file);
    EXPECT_TRUE(result == foreign + "[Race]\nA=1000\nB=1000\n" ||
                result == foreign + "[Race]\nB=1000\nA=1000\n")
        << result.constData();
    EXPECT_EQ(Entries(base), QStringList{QStringLiteral("Config.ini")});
}

// ---------------------------------------------------------------------------
// Bad input

TEST_F(SettingsFileTest, DirectoryNamedConfigIni)
{
    ASSERT_TRUE(QDir().mkdir(path()));
    EXPECT_EQ(read("Use", "NumberOfUse"), kDefault);
    EXPECT_FALSE(write("Use", "NumberOfUse", "1"));
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_TRUE(Entries(path()).isEmpty());
    EXPECT_EQ(Entries(folder()), QStringList{QStringLiteral("Config.ini")});
}

TEST_F(SettingsFileTest, DanglingSymlink)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("elsewhere.ini"), path()));
    EXPECT_EQ(read("Use", "NumberOfUse"), kDefault);
    EXPECT_FALSE(write("Use", "NumberOfUse", "1"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(Entries(folder()), QStringList{QStringLiteral("Config.ini")});
}

TEST_F(SettingsFileTest, SymlinkToAFileWritesThrough)
{
    const QString target = m_dir.filePath(QStringLiteral("real.ini"));
    WriteAll(target, "[Use]\nNumberOfUse=1\n"_ba);
    ASSERT_TRUE(QFile::link(QStringLiteral("real.ini"), path()));
    EXPECT_EQ(read("Use", "NumberOfUse"), 1);
    ASSERT_TRUE(write("Use", "NumberOfUse", "2"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(ReadAll(target), "[Use]\nNumberOfUse=2\n"_ba);
}

TEST_F(SettingsFileTest, PipeNamedConfigIniDoesNotHang)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    EXPECT_EQ(read("Use", "NumberOfUse"), kDefault);
    EXPECT_FALSE(write("Use", "NumberOfUse", "1"));
}

TEST_F(SettingsFileTest, ParentIsARegularFile)
{
    const QString plain = m_dir.filePath(QStringLiteral("plain"));
    WriteAll(plain, "data"_ba);
    const QString inside = plain + QStringLiteral("/Config.ini");
    EXPECT_EQ(settings::ReadProfileInt(Str("A"), Str("k"), kDefault, inside), kDefault);
    EXPECT_FALSE(settings::WriteProfileString(Str("A"), Str("k"), Str("1"), inside));
    EXPECT_EQ(ReadAll(plain), "data"_ba);
}

TEST_F(SettingsFileTest, UnreadableFile)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    const QByteArray before = "[A]\nk=1\n"_ba;
    WriteAll(path(), before);
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::WriteOwner));
    EXPECT_EQ(read("A", "k"), kDefault);
    EXPECT_FALSE(write("A", "k", "2"));
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(ReadAll(path()), before);
}

TEST_F(SettingsFileTest, ReadOnlyFileIsNotReplaced)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    const QByteArray before = "[A]\nk=1\n"_ba;
    WriteAll(path(), before);
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
    EXPECT_EQ(read("A", "k"), 1);
    EXPECT_FALSE(write("A", "k", "2"));
    EXPECT_EQ(ReadAll(path()), before);
}

// Files beyond 4 MiB are not settings files we wrote: they read as the
// default and are never rewritten.
TEST_F(SettingsFileTest, HugeFileIsLeftAlone)
{
    QByteArray huge = "[A]\nk=5\n"_ba;
    huge.append(50 * 1024 * 1024, 'z');
    WriteAll(path(), huge);
    EXPECT_EQ(read("A", "k"), kDefault);
    EXPECT_FALSE(write("A", "k", "6"));
    EXPECT_EQ(ReadAll(path()), huge);
}

TEST_F(SettingsFileTest, MegabyteFileIsReadAndWritten)
{
    QByteArray big;
    for (int i = 0; big.size() < 1024 * 1024; ++i)
        big += "[S" + QByteArray::number(i) + "]\nkey=" + QByteArray::number(i) + "\n";
    big += "[Last]\nk=9\n";
    WriteAll(path(), big);
    EXPECT_EQ(read("Last", "k"), 9);
    EXPECT_EQ(read("S1000", "key"), 1000);
    ASSERT_TRUE(write("Last", "k", "10"));
    big.chop(2);
    EXPECT_EQ(ReadAll(path()), big + "10\n");
}

TEST_F(SettingsFileTest, BinaryGarbage)
{
    std::mt19937 random(20240601);
    for (int round = 0; round < 20; ++round) {
        QByteArray garbage(64 * 1024, '\0');
        for (char &byte : garbage)
            byte = static_cast<char>(random() & 0xFF);
        WriteAll(path(), garbage);
        // Any value by the rules will do; the point is a clean answer.
        (void)read("A", "k");
        ASSERT_TRUE(write("Use", "NumberOfUse", "-17")) << "round " << round;
        const QByteArray after = ReadAll(path());
        EXPECT_TRUE(IsSingleSplice(garbage, after)) << "round " << round;
        EXPECT_EQ(read("Use", "NumberOfUse"), -17) << "round " << round;
    }
}

// ---------------------------------------------------------------------------
// Where the file lives

class LocationTest : public ::testing::Test
{
protected:
    QString fallback() const { return m_dir.filePath(QStringLiteral("user/Vandrel")); }
    QString fallbackFile() const { return fallback() + QStringLiteral("/Config.ini"); }
    QString exeDir() const { return m_dir.filePath(QStringLiteral("bin")); }
    QString exeFile() const { return exeDir() + QStringLiteral("/Config.ini"); }
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(exeDir())); }

    QTemporaryDir m_dir;
};

TEST_F(LocationTest, BesideTheProgramWhenNoFileYet)
{
    EXPECT_EQ(settings::detail::ChooseConfigFile(exeDir(), fallback()), exeFile());
}

TEST_F(LocationTest, BesideTheProgramWhenTheFileIsWritable)
{
    WriteAll(exeFile(), "[Use]\nNumberOfUse=2\n"_ba);
    EXPECT_EQ(settings::detail::ChooseConfigFile(exeDir(), fallback()), exeFile());
}

TEST_F(LocationTest, PathIsTheFolderAsGiven)
{
    const QString odd = m_dir.path() + QStringLiteral("/./bin");
    EXPECT_EQ(settings::detail::ChooseConfigFile(odd, fallback()),
              odd + QStringLiteral("/Config.ini"));
}

TEST_F(LocationTest, FallbackWhenConfigIniIsADirectory)
{
    ASSERT_TRUE(QDir().mkdir(exeFile()));
    EXPECT_EQ(settings::detail::ChooseConfigFile(exeDir(), fallback()), fallbackFile());
}

TEST_F(LocationTest, FallbackWhenConfigIniIsADanglingLink)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("gone.ini"), exeFile()));
    EXPECT_EQ(settings::detail::ChooseConfigFile(exeDir(), fallback()), fallbackFile());
}

TEST_F(LocationTest, FallbackWhenTheFolderCannotExist)
{
    const QString plain = m_dir.filePath(QStringLiteral("plain"));
    WriteAll(plain, "x"_ba);
    EXPECT_EQ(settings::detail::ChooseConfigFile(plain + QStringLiteral("/bin"), fallback()),
              fallbackFile());
}

// Not even root may create files in a process folder under /proc.
TEST_F(LocationTest, FallbackForAFolderNobodyCanWrite)
{
    const QString locked = QStringLiteral("/proc/self");
    if (!QFileInfo(locked).isDir() || QFileInfo(locked).isWritable())
        GTEST_SKIP() << "no unwritable folder under /proc here";
    const QString chosen = settings::detail::ChooseConfigFile(locked, fallback());
    ASSERT_EQ(chosen, fallbackFile());

    // Reads and writes agree: the first write creates the per-user folder.
    EXPECT_EQ(settings::ReadProfileInt(Str("Use"), Str("NumberOfUse"), 0, chosen), 0);
    ASSERT_TRUE(settings::WriteProfileString(Str("Use"), Str("NumberOfUse"), Str("1"), chosen));
    EXPECT_EQ(settings::ReadProfileInt(Str("Use"), Str("NumberOfUse"), 0,
                                       settings::detail::ChooseConfigFile(locked, fallback())),
              1);
}

TEST_F(LocationTest, FallbackForAReadOnlyFolder)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    ASSERT_TRUE(QFile::setPermissions(exeDir(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(settings::detail::ChooseConfigFile(exeDir(), fallback()), fallbackFile());
    QFile::setPermissions(exeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(LocationTest, FallbackForAReadOnlyFile)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    WriteAll(exeFile(), "[Use]\nNumberOfUse=2\n"_ba);
    ASSERT_TRUE(QFile::setPermissions(exeFile(), QFile::ReadOwner));
    EXPECT_EQ(settings::detail::ChooseConfigFile(exeDir(), fallback()), fallbackFile());
}

TEST_F(LocationTest, NoFallbackKnownKeepsTheProgramFolder)
{
    ASSERT_TRUE(QDir().mkdir(exeFile()));
    EXPECT_EQ(settings::detail::ChooseConfigFile(exeDir(), QString()), exeFile());
}

TEST(ConfigFilePath, FollowsTheRunningProgram)
{
    int argc = 1;
    char name[] = "test_settingsstore";
    char *argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QString folder = QCoreApplication::applicationDirPath();
    const QString beside = folder + QStringLiteral("/Config.ini");
    if (QFileInfo::exists(beside))
        GTEST_SKIP() << "a Config.ini lies beside the test program";
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
                            QStringLiteral("/Config.ini");
    EXPECT_EQ(settings::ConfigFilePath(), QFileInfo(folder).isWritable() ? beside : perUser);
    QStandardPaths::setTestModeEnabled(false);
}

// ---------------------------------------------------------------------------
// The store the windows use

TEST_F(SettingsFileTest, IniFileStoreAsksForThePathOnEveryCall)
{
    const QString second = m_dir.filePath(QStringLiteral("Second.ini"));
    QString current = path();
    int asked = 0;
    settings::IniFileStore store([&current, &asked] {
        ++asked;
        return current;
    });

    EXPECT_EQ(store.readInt(Str("Use"), Str("NumberOfUse"), 5), 5);
    store.writeText(Str("Use"), Str("NumberOfUse"), Str("6"));
    EXPECT_EQ(store.readInt(Str("Use"), Str("NumberOfUse"), 5), 6);
    current = second;
    store.writeText(Str("Use"), Str("NumberOfUse"), Str("7"));
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(read("Use", "NumberOfUse"), 6);
    EXPECT_EQ(ReadAll(second), "[Use]\nNumberOfUse=7\n"_ba);
}

} // namespace
