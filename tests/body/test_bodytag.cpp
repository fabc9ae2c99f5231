// SPDX-License-Identifier: MIT
#include "body/bodytag.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(BuildBodyTag, WholeTagFollowsTheLetterCaseOption)
{
    // The editor's own test copies the default tag in either case.
    const std::tuple<const char *, BodyCodes, int, QString> cases[] = {
        {"new upper code beside lower ones",
         {u"#FF8000"_s, u"#000000"_s, u"#0000ff"_s, u"#800080"_s, u"#ff0000"_s},
         1,
         u"<body bgcolor=\"#ff8000\" text=\"#000000\" link=\"#0000ff\" vlink=\"#800080\" "
         u"alink =\"#ff0000\">"_s},
        // A different code in each slot, so that a swapped pair shows; lower
        // codes are copied upper case under the upper-case option.
        {"each code in its place",
         {u"#010203"_s, u"#0a0b0c"_s, u"#1A1B1C"_s, u"#2A2B2C"_s, u"#3A3B3C"_s},
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
