// SPDX-License-Identifier: MIT
#include "main/inifile.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace settings::ini {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kNotFound = std::string_view::npos;

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

} // namespace

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

namespace {

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

} // namespace

std::string_view View(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

std::optional<int> ReadInt(std::string_view data, std::string_view section, std::string_view key)
{
    const Place place = Locate(data, section, key);
    if (!place.keyFound)
        return std::nullopt;
    return ParseValue(data.substr(place.valueBegin, place.valueEnd - place.valueBegin));
}

std::optional<std::string_view> ReadText(std::string_view data, std::string_view section,
                                         std::string_view key)
{
    const Place place = Locate(data, section, key);
    if (!place.keyFound)
        return std::nullopt;
    return data.substr(place.valueBegin, place.valueEnd - place.valueBegin);
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

} // namespace settings::ini
