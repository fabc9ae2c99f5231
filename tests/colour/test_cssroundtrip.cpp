// SPDX-License-Identifier: MIT
// Every one of the 16,777,216 colours written as rgb(), hsl() and oklch(), and
// read back with CSS Color 4's own conversions, written out here from the
// document apart from the program's: no channel comes back further than 0.25
// from where it started, and an achromatic colour's hue is 0.
#include "colour/csscolour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using Triple = std::array<double, 3>;
using Matrix = double[3][3];

Triple Times(const Matrix &m, const Triple &v)
{
    Triple out{};
    for (std::size_t i = 0; i < 3; ++i)
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return out;
}

// hslToRgb() of CSS Color 4, "Converting HSL Colors to sRGB Colors", for a
// hue in [0, 360) as the copy writes it; saturation and lightness 0..1.
Triple HslToRgb(double hue, double saturation, double lightness)
{
    const auto f = [&](double n) {
        const double k = std::fmod(n + hue / 30, 12);
        const double a = saturation * std::min(lightness, 1 - lightness);
        return lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return {f(0), f(8), f(4)};
}

// OKLCH_to_OKLab, OKLab_to_XYZ, XYZ_to_lin_sRGB and gam_sRGB of CSS Color 4,
// "Sample code for Color Conversions"; 0..1.
Triple OklchToRgb(double lightness, double chroma, double hue)
{
    static constexpr Matrix kOklabToLms = {
        {1.0000000000000000, 0.3963377773761749, 0.2158037573099136},
        {1.0000000000000000, -0.1055613458156586, -0.0638541728258133},
        {1.0000000000000000, -0.0894841775298119, -1.2914855480194092}};
    static constexpr Matrix kLmsToXyz = {
        {1.2268798758459243, -0.5578149944602171, 0.2813910456659647},
        {-0.0405757452148008, 1.1122868032803170, -0.0717110580655164},
        {-0.0763729366746601, -0.4214933324022432, 1.5869240198367816}};
    static constexpr Matrix kXyzToLinearSrgb = {
        {12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
        {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
        {705.0 / 12673, -2585.0 / 12673, 705.0 / 667}};
    const double h = hue * std::numbers::pi / 180;
    Triple lms = Times(kOklabToLms, {lightness, chroma * std::cos(h), chroma * std::sin(h)});
    for (double &c : lms)
        c = c * c * c;
    Triple rgb = Times(kXyzToLinearSrgb, Times(kLmsToXyz, lms));
    for (double &c : rgb) {
        const double a = std::fabs(c);
        c = a > 0.0031308 ? std::copysign(1.055 * std::pow(a, 1 / 2.4) - 0.055, c) : 12.92 * c;
    }
    return rgb;
}

/// A number as the copy writes it: digits, perhaps a point and more digits,
/// the last of them not 0.
bool Plain(std::string_view n)
{
    const std::size_t point = n.find('.');
    return !n.empty() && n.front() != '.' && n.find('.', point + 1) == std::string_view::npos &&
           std::ranges::all_of(n, [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) &&
           (point == std::string_view::npos || (point + 1 < n.size() && n.back() != '0'));
}

/// What is wrong with the text written for @p rgb in @p function, or nothing.
std::optional<std::string> Fault(colour::CssFunction function, colour::Rgb rgb)
{
    // Each form's opening and units, then which number is the chroma and
    // which the hue (a grey has no chroma; without chroma the hue is 0).
    using Units = std::array<std::string_view, 3>;
    static constexpr std::tuple<std::string_view, Units, std::size_t, std::size_t> kForms[] = {
        {"rgb(", {"", "", ""}, 0, 0},
        {"hsl(", {"", "%", "%"}, 1, 0},
        {"oklch(", {"%", "", ""}, 1, 2}};
    const auto &[opening, units, chroma, hue] = kForms[static_cast<std::size_t>(function)];
    const std::string text = colour::FormatCssFunction(function, rgb).toStdString();
    bool right = text.starts_with(opening) && text.ends_with(')');
    std::string_view rest(text);
    rest = right ? rest.substr(opening.size(), rest.size() - opening.size() - 1) : "";
    Triple n{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string_view written = rest.substr(0, rest.find(' '));
        rest.remove_prefix(std::min(rest.size(), written.size() + 1));
        right = right && written.ends_with(units[i]) &&
                Plain(written.substr(0, written.size() - units[i].size()));
        n[i] = right ? std::strtod(std::string(written).c_str(), nullptr) : 0;
    }
    const Triple back =
        function == colour::CssFunction::Rgb   ? Triple{n[0] / 255, n[1] / 255, n[2] / 255}
        : function == colour::CssFunction::Hsl ? HslToRgb(n[0], n[1] / 100, n[2] / 100)
                                               : OklchToRgb(n[0] / 100, n[1], n[2]);
    const int channels[] = {rgb.red, rgb.green, rgb.blue};
    for (std::size_t i = 0; i < 3; ++i)
        right = right && rest.empty() && std::fabs(back[i] * 255 - channels[i]) <= 0.25;
    if (chroma &&
        (n[chroma] == 0 ? n[hue] != 0 : channels[0] == channels[1] && channels[1] == channels[2]))
        right = false;
    if (right)
        return std::nullopt;
    return text + " for " + std::to_string(channels[0]) + "," + std::to_string(channels[1]) + "," +
           std::to_string(channels[2]);
}

TEST(CssRoundTrip, EveryColourInEveryFunctionComesBack)
{
    const unsigned threads = std::max(2u, std::thread::hardware_concurrency());
    std::mutex lock;
    std::vector<std::string> faults;
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int red = static_cast<int>(t); red < 256; red += static_cast<int>(threads))
                for (int green = 0; green < 256; ++green)
                    for (int blue = 0; blue < 256; ++blue)
                        for (const auto function :
                             {colour::CssFunction::Rgb, colour::CssFunction::Hsl,
                              colour::CssFunction::Oklch})
                            if (auto fault = Fault(function, {red, green, blue})) {
                                const std::scoped_lock guard(lock);
                                faults.push_back(*fault);
                            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    EXPECT_EQ(faults.size(), 0u) << (faults.empty() ? std::string() : faults.front());
}

} // namespace
