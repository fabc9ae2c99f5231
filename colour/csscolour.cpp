// SPDX-License-Identifier: MIT
// The CSS forms the copy writes, and the colour space conversions behind them.
#include "colour/csscolour.h"

#include "colour/cssconversions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

namespace colour {

namespace css {

namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;

constexpr Matrix Multiply(const Matrix &a, const Matrix &b)
{
    Matrix product{};
    for (std::size_t row = 0; row < 3; ++row)
        for (std::size_t column = 0; column < 3; ++column)
            for (std::size_t k = 0; k < 3; ++k)
                product[row][column] += a[row][k] * b[k][column];
    return product;
}

Vector Apply(const Matrix &m, const Vector &v)
{
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

// The matrices of CSS Color 4: linear-light sRGB to XYZ (D65) and back; XYZ
// to OKLab's cone responses (LMS) and back; the cube roots of the cone
// responses to OKLab and back.
constexpr Matrix kLinearSrgbToXyz = {{{506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218},
                                      {87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545},
                                      {7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270}}};
constexpr Matrix kXyzToLinearSrgb = {{{12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
                                      {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
                                      {705.0 / 12673, -2585.0 / 12673, 705.0 / 667}}};
constexpr Matrix kXyzToLms = {{{0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
                               {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
                               {0.0481771893596242, 0.2642395317527308, 0.6335478284694309}}};
constexpr Matrix kLmsToXyz = {{{1.2268798758459243, -0.5578149944602171, 0.2813910456659647},
                               {-0.0405757452148008, 1.1122868032803170, -0.0717110580655164},
                               {-0.0763729366746601, -0.4214933324022432, 1.5869240198367816}}};
constexpr Matrix kLmsRootToOklab = {
    {{0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
     {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
     {0.0259040424655478, 0.7827717124575296, -0.8086757549230774}}};
constexpr Matrix kOklabToLmsRoot = {{{1.0, 0.3963377773761749, 0.2158037573099136},
                                     {1.0, -0.1055613458156586, -0.0638541728258133},
                                     {1.0, -0.0894841775298119, -1.2914855480194092}}};
// The two steps through XYZ taken at once.
constexpr Matrix kLinearSrgbToLms = Multiply(kXyzToLms, kLinearSrgbToXyz);
constexpr Matrix kLmsToLinearSrgb = Multiply(kXyzToLinearSrgb, kLmsToXyz);

constexpr Matrix Inverse(const Matrix &m)
{
    const auto [a, b, c] = m[0];
    const auto [d, e, f] = m[1];
    const auto [g, h, i] = m[2];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    return {{{(e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det},
             {(f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det},
             {(d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det}}};
}

/// Bradford's chromatic adaptation from the white @p from to the white @p to.
constexpr Matrix Bradford(const Vector &from, const Vector &to)
{
    constexpr Matrix kCone = {
        {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};
    Matrix scale{};
    for (std::size_t i = 0; i < 3; ++i)
        scale[i][i] = (kCone[i][0] * to[0] + kCone[i][1] * to[1] + kCone[i][2] * to[2]) /
                      (kCone[i][0] * from[0] + kCone[i][1] * from[1] + kCone[i][2] * from[2]);
    return Multiply(Inverse(kCone), Multiply(scale, kCone));
}

// NOTE: Chromium paints oklch() through XYZ D50: it adapts D65 (x 0.3127,
// y 0.3290) to the ICC's D50 white (0.96422, 1, 0.82521) by Bradford and then
// takes the inverse of the ICC profile's sRGB matrix, stored in 16.16 fixed
// point. The result differs from CSS Color 4's by up to 0.63 of an 8-bit step
// (a dark channel beside bright ones, such as 10, 255, 0). Measured on Debian's
// Chromium 156 through color-mix(in srgb, ...), which prints the channels to
// six digits: this matrix fits them to 5e-6.
constexpr Matrix kIccSrgbToXyzD50 = {{{28578 / 65536.0, 25241 / 65536.0, 9376 / 65536.0},
                                      {14581 / 65536.0, 46981 / 65536.0, 3972 / 65536.0},
                                      {912 / 65536.0, 6362 / 65536.0, 46799 / 65536.0}}};
constexpr Matrix kLmsToLinearSrgbAsPainted = Multiply(
    Inverse(kIccSrgbToXyzD50),
    Multiply(Bradford({0.3127 / 0.3290, 1, (1 - 0.3127 - 0.3290) / 0.3290}, {0.96422, 1, 0.82521}),
             kLmsToXyz));

constexpr double kDegree = std::numbers::pi / 180;

/// The sRGB transfer function and its inverse, extended to negative values
/// by symmetry, as CSS Color 4 does for colours outside the gamut.
double Linear(double encoded)
{
    const double a = std::fabs(encoded);
    return std::copysign(a <= 0.04045 ? a / 12.92 : std::pow((a + 0.055) / 1.055, 2.4), encoded);
}

double Encoded(double linear)
{
    const double a = std::fabs(linear);
    return std::copysign(a > 0.0031308 ? 1.055 * std::pow(a, 1 / 2.4) - 0.055 : 12.92 * a, linear);
}

} // namespace

double NormalHue(double degrees)
{
    const double hue = std::fmod(degrees, 360.0);
    return hue < 0 ? hue + 360 : hue;
}

Channels RgbFromHsl(double hue, double saturation, double lightness)
{
    const double h = NormalHue(hue) / 360;
    const double high = lightness <= 0.5 ? lightness * (saturation + 1)
                                         : lightness + saturation - lightness * saturation;
    const double low = lightness * 2 - high;
    const auto channel = [&](double x) {
        if (x < 0)
            x += 1;
        if (x > 1)
            x -= 1;
        double value = low;
        if (x * 6 < 1)
            value = low + (high - low) * x * 6;
        else if (x * 2 < 1)
            value = high;
        else if (x * 3 < 2)
            value = low + (high - low) * (2.0 / 3 - x) * 6;
        return value * 255;
    };
    return {channel(h + 1.0 / 3), channel(h), channel(h - 1.0 / 3)};
}

namespace {

/// oklch() to OKLab's cone responses (LMS).
Vector LmsFromOklch(double lightness, double chroma, double hue)
{
    const Vector root = Apply(kOklabToLmsRoot, {lightness, chroma * std::cos(hue * kDegree),
                                                chroma * std::sin(hue * kDegree)});
    return {root[0] * root[0] * root[0], root[1] * root[1] * root[1], root[2] * root[2] * root[2]};
}

/// The linear-light values whose 8-bit channels lie within a tolerance of a
/// colour's: where the transfer function is monotonic, a test in linear light
/// spares a power per channel.
struct LinearBounds
{
    Vector low;
    Vector high;

    LinearBounds(Rgb rgb, double tolerance)
    {
        const double channels[] = {static_cast<double>(rgb.red), static_cast<double>(rgb.green),
                                   static_cast<double>(rgb.blue)};
        for (std::size_t i = 0; i < 3; ++i) {
            low[i] = Linear((channels[i] - tolerance) / 255);
            high[i] = Linear((channels[i] + tolerance) / 255);
        }
    }
    bool contain(const Vector &linear) const
    {
        for (std::size_t i = 0; i < 3; ++i)
            if (linear[i] < low[i] || linear[i] > high[i])
                return false;
        return true;
    }
};

} // namespace

Channels RgbFromOklchAsPainted(double lightness, double chroma, double hue)
{
    const Vector linear = Apply(kLmsToLinearSrgbAsPainted, LmsFromOklch(lightness, chroma, hue));
    return {Encoded(linear[0]) * 255, Encoded(linear[1]) * 255, Encoded(linear[2]) * 255};
}

Rgb PaintedRgb(const Channels &channels)
{
    // NOTE: written so that a NaN (an overflow deep inside a conversion)
    // paints 0 rather than reaching the integer conversion.
    const auto paint = [](double value) {
        const double clipped = value >= 0 ? (value <= 255 ? value : 255) : 0;
        return static_cast<int>(std::floor(clipped + 0.5));
    };
    return {paint(channels.red), paint(channels.green), paint(channels.blue)};
}

namespace {

/// OKLCh of a colour on the 8-bit scale: lightness 0 to 1, chroma, hue in degrees.
Vector OklchFromRgb(const Channels &rgb)
{
    const Vector lms = Apply(
        kLinearSrgbToLms, {Linear(rgb.red / 255), Linear(rgb.green / 255), Linear(rgb.blue / 255)});
    const Vector lab =
        Apply(kLmsRootToOklab, {std::cbrt(lms[0]), std::cbrt(lms[1]), std::cbrt(lms[2])});
    return {lab[0], std::hypot(lab[1], lab[2]), NormalHue(std::atan2(lab[2], lab[1]) / kDegree)};
}

} // namespace

} // namespace css

namespace {

constexpr int kMostDecimals = 8;
// How far Chromium's own conversion may land from a channel and still round to
// it, with room for its single precision. Chromium strays up to 0.63 from CSS
// Color 4, so a text within 0.25 by the one and 0.45 by the other always exists.
constexpr double kChromiumMargin = 0.45;
constexpr double kPowersOfTen[kMostDecimals + 1] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

/// A number as the text writes it: scaled by 10^decimals and rounded.
struct Written
{
    long long scaled = 0;
    int decimals = 0;

    static Written Of(double exact, int decimals)
    {
        return {std::llround(exact * kPowersOfTen[decimals]), decimals};
    }
    /// The value a reader of the text takes: the double nearest to it.
    double value() const { return static_cast<double>(scaled) / kPowersOfTen[decimals]; }
    /// Appends the digits, with a point before the decimals that are not
    /// trailing zeros ("30.1", "0.05", "50").
    void appendTo(std::string &text) const
    {
        std::string digits = std::to_string(scaled);
        int kept = decimals;
        while (kept > 0 && digits.size() > 1 && digits.back() == '0') {
            digits.pop_back();
            --kept;
        }
        if (kept > 0 && scaled != 0) {
            const auto point = static_cast<std::size_t>(kept);
            if (digits.size() <= point)
                digits.insert(0, point + 1 - digits.size(), '0');
            digits.insert(digits.size() - point, 1, '.');
        }
        text += scaled == 0 ? std::string("0") : digits;
    }
};

using Triple = std::array<double, 3>;
using WrittenTriple = std::array<Written, 3>;

// NOTE: a text is held a hair inside each tolerance, so that one landing on
// its edge (hsl(235 100% 10%) is 4.25 for green 4) is never taken on the
// strength of a rounding error in the last bit.
constexpr double kEdge = 1e-9;

/// Whether every channel lies within @p tolerance of @p target's.
bool Within(const css::Channels &channels, Rgb target, double tolerance)
{
    return std::fabs(channels.red - target.red) <= tolerance - kEdge &&
           std::fabs(channels.green - target.green) <= tolerance - kEdge &&
           std::fabs(channels.blue - target.blue) <= tolerance - kEdge;
}

/// Writes three numbers with the fewest decimals in total that @p fits takes.
/// Among equal totals the earlier numbers get the fewer decimals.
template <typename Fits> WrittenTriple FewestDecimals(const Triple &exact, Fits fitsValues)
{
    const auto fits = [&](const WrittenTriple &written) {
        return fitsValues(Triple{written[0].value(), written[1].value(), written[2].value()});
    };
    const auto writeAll = [&](int d0, int d1, int d2) {
        return WrittenTriple{Written::Of(exact[0], d0), Written::Of(exact[1], d1),
                             Written::Of(exact[2], d2)};
    };
    // Each number's fewest decimals while the other two keep eight: where the
    // search over the three together starts. Eight decimals are far more
    // than any colour needs: they put each number within 5e-9 of its value.
    std::array<int, 3> fewest{};
    for (std::size_t i = 0; i < 3; ++i) {
        std::array<int, 3> decimals = {kMostDecimals, kMostDecimals, kMostDecimals};
        for (decimals[i] = 0; decimals[i] < kMostDecimals; ++decimals[i])
            if (fits(writeAll(decimals[0], decimals[1], decimals[2])))
                break;
        fewest[i] = decimals[i];
    }
    for (int total = fewest[0] + fewest[1] + fewest[2]; total <= 3 * kMostDecimals; ++total) {
        for (int d0 = fewest[0]; d0 <= kMostDecimals; ++d0) {
            for (int d1 = fewest[1]; d1 <= kMostDecimals; ++d1) {
                const int d2 = total - d0 - d1;
                if (d2 < fewest[2] || d2 > kMostDecimals)
                    continue;
                if (const WrittenTriple written = writeAll(d0, d1, d2); fits(written))
                    return written;
            }
        }
    }
    return writeAll(kMostDecimals, kMostDecimals, kMostDecimals);
}

/// Appends a hue as written: 0 where the colour has none (@p colourless),
/// and 0 rather than 360.
void AppendHue(std::string &text, Written hue, bool colourless)
{
    if (colourless || hue.value() >= 360)
        text += '0';
    else
        hue.appendTo(text);
}

QString RgbText(Rgb rgb)
{
    return QString::fromStdString("rgb(" + std::to_string(rgb.red) + ' ' +
                                  std::to_string(rgb.green) + ' ' + std::to_string(rgb.blue) + ')');
}

QString HslText(Rgb rgb)
{
    const double r = rgb.red / 255.0;
    const double g = rgb.green / 255.0;
    const double b = rgb.blue / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const double lightness = (max + min) / 2;
    Triple exact = {0, 0, lightness * 100};
    if (max > min) {
        const double delta = max - min;
        exact[1] = delta / (1 - std::fabs(2 * lightness - 1)) * 100;
        double sextant = 0;
        if (max == r)
            sextant = (g - b) / delta;
        else if (max == g)
            sextant = (b - r) / delta + 2;
        else
            sextant = (r - g) / delta + 4;
        exact[0] = css::NormalHue(sextant * 60);
    }
    const WrittenTriple written = FewestDecimals(exact, [rgb](const Triple &v) {
        return Within(css::RgbFromHsl(v[0], v[1] / 100, v[2] / 100), rgb, kCssTolerance);
    });
    std::string text = "hsl(";
    AppendHue(text, written[0], written[1].scaled == 0);
    text += ' ';
    written[1].appendTo(text);
    text += "% ";
    written[2].appendTo(text);
    text += "%)";
    return QString::fromStdString(text);
}

QString OklchText(Rgb rgb)
{
    const css::Channels channels = {static_cast<double>(rgb.red), static_cast<double>(rgb.green),
                                    static_cast<double>(rgb.blue)};
    css::Vector oklch = css::OklchFromRgb(channels);
    // Where Chromium's conversion strays too far from the exact one, aim at a
    // colour between the two: each channel moved by half Chromium's error, by
    // no more than 0.22, so that the CSS result stays within 0.25 and
    // Chromium's within 0.45 with room for the rounding of the numbers.
    const css::Channels painted = css::RgbFromOklchAsPainted(oklch[0], oklch[1], oklch[2]);
    if (!Within(painted, rgb, kChromiumMargin - 0.05)) {
        const auto aim = [](double channel, double paintedChannel) {
            return channel + std::clamp((channel - paintedChannel) / 2, -0.22, 0.22);
        };
        oklch =
            css::OklchFromRgb({aim(channels.red, painted.red), aim(channels.green, painted.green),
                               aim(channels.blue, painted.blue)});
    }
    // A grey has no chroma and no hue; the conversion leaves a trace of both.
    const bool grey = rgb.red == rgb.green && rgb.green == rgb.blue;
    const Triple exact = {std::max(oklch[0], 0.0) * 100, grey ? 0 : oklch[1], grey ? 0 : oklch[2]};
    // Within the tolerance by CSS Color 4's conversion, and painted as the
    // same channels by Chromium, whose conversion differs (kChromiumMargin).
    const css::LinearBounds exactBounds(rgb, kCssTolerance - kEdge);
    const css::LinearBounds paintedBounds(rgb, kChromiumMargin - kEdge);
    const WrittenTriple written = FewestDecimals(exact, [&](const Triple &v) {
        const css::Vector lms = css::LmsFromOklch(v[0] / 100, v[1], v[2]);
        return exactBounds.contain(css::Apply(css::kLmsToLinearSrgb, lms)) &&
               paintedBounds.contain(css::Apply(css::kLmsToLinearSrgbAsPainted, lms));
    });
    std::string text = "oklch(";
    written[0].appendTo(text);
    text += "% ";
    written[1].appendTo(text);
    text += ' ';
    AppendHue(text, written[2], written[1].scaled == 0);
    text += ')';
    return QString::fromStdString(text);
}

bool IsBlank(QChar c)
{
    return c.isSpace();
}

} // namespace

std::optional<CssFunction> CssFunctionNamed(QStringView name)
{
    const QStringView trimmed = name.trimmed();
    const std::pair<QStringView, CssFunction> functions[] = {{u"rgb()", CssFunction::Rgb},
                                                             {u"hsl()", CssFunction::Hsl},
                                                             {u"oklch()", CssFunction::Oklch}};
    for (const auto &[text, function] : functions)
        if (trimmed.compare(text, Qt::CaseInsensitive) == 0)
            return function;
    return std::nullopt;
}

bool IsCssPropertyName(QStringView name)
{
    qsizetype end = name.size();
    while (end > 0 && IsBlank(name[end - 1]))
        --end;
    return end > 0 && name[end - 1] == u':';
}

QString FormatCssFunction(CssFunction function, Rgb rgb)
{
    switch (function) {
    case CssFunction::Rgb:
        break;
    case CssFunction::Hsl:
        return HslText(rgb);
    case CssFunction::Oklch:
        return OklchText(rgb);
    }
    return RgbText(rgb);
}

std::optional<Rgb> ParseColourCode(QStringView code)
{
    if (code.size() != 7 || code[0] != u'#')
        return std::nullopt;
    const std::optional<int> red = ParseChannelHex(code.sliced(1, 2));
    const std::optional<int> green = ParseChannelHex(code.sliced(3, 2));
    const std::optional<int> blue = ParseChannelHex(code.sliced(5, 2));
    if (!red || !green || !blue)
        return std::nullopt;
    return Rgb{*red, *green, *blue};
}

QString ColourTextRefusedMessage(const QString &text)
{
    // The quote stays on one line and never splits a character in two.
    constexpr int kQuoted = 40;
    QString quote;
    qsizetype at = 0;
    for (int characters = 0; at < text.size() && characters < kQuoted; ++characters, ++at) {
        const QChar c = text[at];
        if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            quote += c;
            quote += text[++at];
        } else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                   c.category() == QChar::Separator_Paragraph) {
            quote += u' ';
        } else {
            quote += c;
        }
    }
    if (at < text.size())
        quote += u'…';
    return QStringLiteral(u"「%1」は色として読めません。\n\n"
                          u"読める形:\n"
                          u"#RGB、#RRGGBB、RRGGBB\n"
                          u"属性=\"#RRGGBB\"（引用符は \" か ' か、なし）\n"
                          u"プロパティ: 値;（color: #FF8000; など）\n"
                          u"rgb()、rgba()、hsl()、hsla()、oklch()\n"
                          u"CSS の色名（red、navy など）")
        .arg(quote);
}

} // namespace colour
