// SPDX-License-Identifier: MIT
#include "colour/channeltext.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace colour {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

int hexDigitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

} // namespace

QString FormatChannelDec(int value)
{
    return QString::number(value).rightJustified(3, u'0');
}

QString FormatChannelHex(int value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString BuildColorCode(const QString &red, const QString &green, const QString &blue)
{
    return u'#' + red + green + blue;
}

HexTriple SplitColorValue(ColourValue value)
{
    const QString h = QString::number(value, 16).toUpper().rightJustified(6, u'0');
    // h reads BBGGRR: red is the last two, green the two before, blue the first two.
    return {h.right(2), h.mid(2, 2), h.left(2)};
}

std::optional<double> ReadDecimalNumber(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    // Check the grammar ourselves; strtod and friends would also take "nan",
    // "inf", hex floats and locale forms, none of which a channel box means.
    std::string ascii;
    qsizetype i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            ascii.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    while (i < end && isAsciiDigit(text[i])) {
        ascii.push_back(static_cast<char>(text[i].unicode()));
        ++mantissaDigits;
        ++i;
    }
    if (i < end && text[i] == u'.') {
        ascii.push_back('.');
        ++i;
        while (i < end && isAsciiDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i].unicode()));
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            ascii.push_back(static_cast<char>(text[i].unicode()));
            ++i;
        }
        int exponentDigits = 0;
        while (i < end && isAsciiDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i].unicode()));
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    // strtod in the "C" locale: the point is always '.', whatever the user's
    // locale; overflow gives an infinity (out of any channel's range) and
    // underflow a value as good as zero.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    char *parsedEnd = nullptr;
    const double number = strtod_l(ascii.c_str(), &parsedEnd, cLocale);
    if (parsedEnd != ascii.c_str() + ascii.size())
        return std::nullopt;
    return number;
}

std::optional<std::int64_t> RoundHalfEven(double number)
{
    if (!std::isfinite(number))
        return std::nullopt;
    double rounded = std::round(number); // halves away from zero
    if (std::fabs(number - std::trunc(number)) == 0.5 && std::fmod(rounded, 2.0) != 0.0)
        rounded -= std::copysign(1.0, number);
    // 2^63 is exactly representable; anything at or past it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (rounded >= limit || rounded < -limit)
        return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

std::optional<int> ParseChannelDec(QStringView text)
{
    const std::optional<double> number = ReadDecimalNumber(text);
    if (!number || *number > 255.0)
        return std::nullopt;
    const std::optional<std::int64_t> whole = RoundHalfEven(*number);
    if (!whole || *whole < 0 || *whole > 255)
        return std::nullopt;
    return static_cast<int>(*whole);
}

std::optional<int> ParseChannelHex(QStringView text)
{
    if (text.size() != 2)
        return std::nullopt;
    const int high = hexDigitValue(text[0]);
    const int low = hexDigitValue(text[1]);
    if (high < 0 || low < 0)
        return std::nullopt;
    return high * 16 + low;
}

LetterCase LetterCaseFromStored(int stored)
{
    switch (stored) {
    case 1:
        return LetterCase::Lower;
    case 2:
        return LetterCase::Greyed;
    default:
        return LetterCase::Upper;
    }
}

QString ApplyLetterCase(const QString &text, LetterCase option)
{
    switch (option) {
    case LetterCase::Upper:
        return text.toUpper();
    case LetterCase::Lower:
        return text.toLower();
    case LetterCase::Greyed:
        break;
    }
    return text;
}

bool IsDecimalKey(int characterCode)
{
    return characterCode == 8 || (characterCode >= '0' && characterCode <= '9');
}

QString FormatHexPlain(std::int64_t number)
{
    if (number < 0)
        return QString::number(static_cast<std::uint32_t>(number), 16).toUpper();
    return QString::number(static_cast<qulonglong>(number), 16).toUpper();
}

} // namespace colour
