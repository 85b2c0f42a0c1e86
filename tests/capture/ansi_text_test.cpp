#include "capture/ansi_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AnsiText, DeviceNamesBecomeGb2312) {
    char out[16];
    Utf16ToAnsi(u"USB \u6444\u50cf\u5934", out, sizeof(out));  // "camera" in Chinese
    EXPECT_EQ(std::string(out), "USB \xc9\xe3\xcf\xf1\xcd\xb7");
    // A character the code page lacks becomes '?'.
    Utf16ToAnsi(u"cam \U0001F4F7!", out, sizeof(out));
    EXPECT_STREQ(out, "cam ?!");
}

TEST(AnsiText, LongNamesAreCutWithoutSplittingACharacter) {
    char out[8];
    Utf16ToAnsi(u"abcdefghij", out, sizeof(out));
    EXPECT_STREQ(out, "abcdefg");
    Utf16ToAnsi(u"abcdef\u6444", out, sizeof(out));
    EXPECT_STREQ(out, "abcdef");  // the double-byte character would not fit
    std::u16string longName(600, u'x');
    char name[512];
    Utf16ToAnsi(longName, name, sizeof(name));
    EXPECT_EQ(std::string(name).size(), 511u);
}

}  // namespace
