// SPDX-License-Identifier: MIT
// libFuzzer target for the settings file: any bytes as Config.ini, then reads
// and one write. Checks that a write changes one stretch of one line at most
// (or only adds lines), that the value written reads back, and that other
// keys keep their values. A file in UTF-16 stays in UTF-16; one that is not
// whole UTF-16 is refused and stays as it was.

#include "main/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Names the program uses, their case variants, and odd ones the file may hold.
constexpr std::array<const char *, 12> kNames = {"Color", "color",       "Red",    "Top",
                                                 "Use",   "NumberOfUse", "Komozi", "Body",
                                                 "a",     "k",           "x y",    "\xC3\xA4"};

QString TemporaryFolder()
{
    // NOTE: A memory-backed folder when there is one: each write syncs the file
    // to disk, which would otherwise slow the fuzzer to a crawl.
    static QTemporaryDir folder(u"/dev/shm/vandrel-fuzz-XXXXXX"_s);
    static QTemporaryDir fallback;
    return folder.isValid() ? folder.path() : fallback.path();
}

QString Name(std::uint8_t pick)
{
    return QString::fromUtf8(kNames[pick % kNames.size()]);
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

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
    return !before.mid(prefix, before.size() - prefix - suffix).contains('\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Header: section, key, the value to write (4 bytes), a second key to watch.
    if (size < 7)
        return 0;
    const QString section = Name(data[0]);
    const QString key = Name(data[1]);
    std::int32_t number = 0; // NOTE: memcpy: the bytes need not be aligned
    std::memcpy(&number, data + 2, sizeof number);
    const QString otherKey = Name(data[6]);
    const QByteArray before(reinterpret_cast<const char *>(data + 7),
                            static_cast<qsizetype>(size - 7));

    const QString path = TemporaryFolder() + QStringLiteral("/Config.ini");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(before);
    }

    // Reads of every name pair give some value and never fail.
    const int otherBefore = settings::ReadProfileInt(section, otherKey, -7, path);
    const int otherSectionBefore = settings::ReadProfileInt(otherKey, key, -7, path);

    const bool keyIsOther = key.compare(otherKey, Qt::CaseInsensitive) == 0;
    const bool sectionIsOther = section.compare(otherKey, Qt::CaseInsensitive) == 0;

    const bool utf16 = before.startsWith("\xFF\xFE") || before.startsWith("\xFE\xFF");
    bool refused = false;
    const auto written = [&] {
        QFile file(path);
        const settings::WriteResult result =
            settings::WriteProfileString(section, key, QString::number(number), path);
        refused = result.failure == settings::WriteFailure::Unusable;
        Check((result.ok() || (refused && utf16)) && file.open(QIODevice::ReadOnly));
        return file.readAll();
    };
    const QByteArray after = written();
    if (refused) {
        Check(after == before);
        return 0;
    }
    // In UTF-16 a line break's byte can be half of another character.
    Check(utf16 ? after.first(2) == before.first(2) && after.size() % 2 == 0
                : IsSingleSplice(before, after));
    Check(settings::ReadProfileInt(section, key, -7, path) == number);
    if (!keyIsOther)
        Check(settings::ReadProfileInt(section, otherKey, -7, path) == otherBefore);
    if (!sectionIsOther)
        Check(settings::ReadProfileInt(otherKey, key, -7, path) == otherSectionBefore);

    Check(written() == after); // a second write of the same value changes nothing
    return 0;
}
