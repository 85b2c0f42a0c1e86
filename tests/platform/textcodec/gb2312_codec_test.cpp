#include "platform/textcodec/gb2312_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Gb2312CodecTest, ConvertsBothWays) {
    struct Case {
        std::string gb2312;
        std::string utf8;
    };
    const Case cases[] = {
        {"", ""},
        {"CH01 Gate", "CH01 Gate"},
        {"\xC9\xE3\xCF\xF1\xCD\xB7", "\xE6\x91\x84\xE5\x83\x8F\xE5\xA4\xB4"},  // 摄像头
        {"\xB4\xF3\xC3\xC5 1", "\xE5\xA4\xA7\xE9\x97\xA8 1"},                  // 大门 1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Gb2312ToUtf8(c.gb2312), c.utf8);
        EXPECT_EQ(Utf8ToGb2312(c.utf8), c.gb2312);
    }
}

TEST(Gb2312CodecTest, LongTextsCrossTheInternalBuffer) {
    std::string gb;
    std::string utf8;
    for (int i = 0; i < 2000; ++i) {
        gb += "\xB4\xF3";
        utf8 += "\xE5\xA4\xA7";
    }
    EXPECT_EQ(Gb2312ToUtf8(gb), utf8);
    EXPECT_EQ(Utf8ToGb2312(utf8), gb);
}

TEST(Gb2312CodecTest, InvalidInputIsReplaced) {
    const std::string kReplacement = "\xEF\xBF\xBD";
    // A lone lead byte at the end (a text cut in the middle of a character).
    EXPECT_EQ(Gb2312ToUtf8("ab\xB4"), "ab" + kReplacement);
    // A byte that starts no character, then text that goes on.
    EXPECT_EQ(Gb2312ToUtf8("a\xFF"
                           "b"),
              "a" + kReplacement + "b");
    // Characters GB2312 does not hold, and broken UTF-8.
    EXPECT_EQ(Utf8ToGb2312("x\xF0\x9F\x98\x80y"), "x?y");  // emoji
    EXPECT_EQ(Utf8ToGb2312("x\xC3(y"), "x?(y");            // broken sequence
    EXPECT_EQ(Utf8ToGb2312("x\xE5\xA4"), "x?");            // cut off at the end
}

TEST(Gb2312CodecTest, FixedFieldStopsAtZeroOrSize) {
    const char padded[8] = {'a', 'b', 0, 'x', 0, 0, 0, 0};
    const char full[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(FixedFieldText(padded), "ab");
    EXPECT_EQ(FixedFieldText(full), "wxyz");
    EXPECT_EQ(FixedFieldText(nullptr, 4), "");
}

}  // namespace
