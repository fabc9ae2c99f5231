// SPDX-License-Identifier: MIT
#include "colour/contrast.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace colour {

namespace {

/// One 8-bit sRGB channel in linear light. The guidelines' older text puts the
/// knee at 0.03928 rather than 0.04045; no 8-bit value lies between the two.
double LinearChannel(ColourValue channel)
{
    const double c = static_cast<double>(channel) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

const std::array<double, 256> &LinearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (ColourValue i = 0; i < values.size(); ++i)
            values[i] = LinearChannel(i);
        return values;
    }();
    return table;
}

QString Grade(const QString &against, ColourValue a, ColourValue b)
{
    const int tenths = ContrastTenths(ContrastRatio(a, b));
    const auto verdict = [tenths](int needed) {
        return tenths >= needed ? u"適合"_s : u"不適合"_s;
    };
    return u"%1とのコントラスト比 %2（AA %3、AAA %4）"_s.arg(
        against, ContrastRatioText(tenths), verdict(kAaTenths), verdict(kAaaTenths));
}

} // namespace

double RelativeLuminance(ColourValue value)
{
    const std::array<double, 256> &linear = LinearTable();
    const Rgb rgb = SplitRgb(value);
    return 0.2126 * linear[static_cast<std::size_t>(rgb.red)] +
           0.7152 * linear[static_cast<std::size_t>(rgb.green)] +
           0.0722 * linear[static_cast<std::size_t>(rgb.blue)];
}

double ContrastRatio(double luminanceA, double luminanceB)
{
    return (std::max(luminanceA, luminanceB) + 0.05) / (std::min(luminanceA, luminanceB) + 0.05);
}

double ContrastRatio(ColourValue a, ColourValue b)
{
    return ContrastRatio(RelativeLuminance(a), RelativeLuminance(b));
}

int ContrastTenths(double ratio)
{
    // The division leaves an error of a few units in the last place, so 4.5
    // may come out as 4.4999999999999991. A margin far below any difference
    // between two real colours keeps that from showing as 4.4.
    constexpr double kMargin = 1e-9;
    return static_cast<int>(std::floor(ratio * 10.0 + kMargin));
}

QString ContrastRatioText(int tenths)
{
    return u"%1.%2:1"_s.arg(tenths / 10).arg(tenths % 10);
}

QString BackgroundContrastTip(ColourValue foreground, ColourValue background)
{
    return Grade(u"背景"_s, foreground, background);
}

QString WhiteBlackContrastTip(ColourValue value)
{
    return Grade(u"白"_s, value, 0xFFFFFF) + u'\n' + Grade(u"黒"_s, value, 0x000000);
}

} // namespace colour
