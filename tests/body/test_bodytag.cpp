// SPDX-License-Identifier: MIT
#include "body/bodytag.h"

#include <gtest/gtest.h>

namespace {

struct TagCase
{
    const char *name;
    BodyCodes codes;
    int letterCase;
    const char16_t *expected;
};

const BodyCodes kDefaults{QStringLiteral("#FFFFFF"), QStringLiteral("#000000"),
                          QStringLiteral("#0000FF"), QStringLiteral("#800080"),
                          QStringLiteral("#FF0000")};
const BodyCodes kLowerDefaults{QStringLiteral("#ffffff"), QStringLiteral("#000000"),
                               QStringLiteral("#0000ff"), QStringLiteral("#800080"),
                               QStringLiteral("#ff0000")};

const TagCase kCases[] = {
    {"DefaultsUpper", kDefaults, 0,
     u"<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" VLINK=\"#800080\" "
     u"ALINK =\"#FF0000\">"},
    {"DefaultsLower", kDefaults, 1,
     u"<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\" vlink=\"#800080\" "
     u"alink =\"#ff0000\">"},
    {"StoredGreyedCopiesLower", kDefaults, 2,
     u"<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\" vlink=\"#800080\" "
     u"alink =\"#ff0000\">"},
    {"OtherOptionCopiesLower", kDefaults, 7,
     u"<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\" vlink=\"#800080\" "
     u"alink =\"#ff0000\">"},
    {"LowerCodesUpperOption", kLowerDefaults, 0,
     u"<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" VLINK=\"#800080\" "
     u"ALINK =\"#FF0000\">"},
    {"NewUpperCodeBesideLowerOnes",
     {QStringLiteral("#FF8000"), QStringLiteral("#000000"), QStringLiteral("#0000ff"),
      QStringLiteral("#800080"), QStringLiteral("#ff0000")},
     1,
     u"<body bgcolor=\"#ff8000\" text=\"#000000\" link=\"#0000ff\" vlink=\"#800080\" "
     u"alink =\"#ff0000\">"},
    // Each code in its own slot, so that a swapped pair shows.
    {"EachCodeInItsPlace",
     {QStringLiteral("#010203"), QStringLiteral("#0A0B0C"), QStringLiteral("#1A1B1C"),
      QStringLiteral("#2A2B2C"), QStringLiteral("#3A3B3C")},
     0,
     u"<BODY BGCOLOR=\"#010203\" TEXT=\"#0A0B0C\" LINK=\"#1A1B1C\" VLINK=\"#2A2B2C\" "
     u"ALINK =\"#3A3B3C\">"},
};

class BuildBodyTagTest : public testing::TestWithParam<TagCase>
{
};

TEST_P(BuildBodyTagTest, GivesTheTag)
{
    const TagCase &c = GetParam();
    EXPECT_EQ(BuildBodyTag(c.codes, c.letterCase).toStdString(),
              QString::fromUtf16(c.expected).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Cases, BuildBodyTagTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TagCase> &param) {
                             return std::string(param.param.name);
                         });

} // namespace
