// SPDX-License-Identifier: MIT
#include "body/bodytag.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const BodyCodes kDefaults{u"#FFFFFF"_s, u"#000000"_s, u"#0000FF"_s, u"#800080"_s, u"#FF0000"_s};
const BodyCodes kLowerDefaults{u"#ffffff"_s, u"#000000"_s, u"#0000ff"_s, u"#800080"_s,
                               u"#ff0000"_s};
const QString kUpperTag = u"<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" "
                          u"VLINK=\"#800080\" ALINK =\"#FF0000\">"_s;
const QString kLowerTag = u"<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\" "
                          u"vlink=\"#800080\" alink =\"#ff0000\">"_s;

TEST(BuildBodyTag, WholeTagFollowsTheLetterCaseOption)
{
    const std::tuple<const char *, BodyCodes, int, QString> cases[] = {
        {"defaults, upper", kDefaults, 0, kUpperTag},
        {"defaults, lower", kDefaults, 1, kLowerTag},
        {"stored 2 copies lower", kDefaults, 2, kLowerTag},
        {"lower codes, upper option", kLowerDefaults, 0, kUpperTag},
        {"new upper code beside lower ones",
         {u"#FF8000"_s, u"#000000"_s, u"#0000ff"_s, u"#800080"_s, u"#ff0000"_s},
         1,
         u"<body bgcolor=\"#ff8000\" text=\"#000000\" link=\"#0000ff\" vlink=\"#800080\" "
         u"alink =\"#ff0000\">"_s},
        // A different code in each slot, so that a swapped pair shows.
        {"each code in its place",
         {u"#010203"_s, u"#0A0B0C"_s, u"#1A1B1C"_s, u"#2A2B2C"_s, u"#3A3B3C"_s},
         0,
         u"<BODY BGCOLOR=\"#010203\" TEXT=\"#0A0B0C\" LINK=\"#1A1B1C\" VLINK=\"#2A2B2C\" "
         u"ALINK =\"#3A3B3C\">"_s},
    };
    for (const auto &[name, codes, letterCase, tag] : cases)
        EXPECT_EQ(BuildBodyTag(codes, colour::LetterCaseFromStored(letterCase)).toStdString(),
                  tag.toStdString())
            << name;
}

} // namespace
