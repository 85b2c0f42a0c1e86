#include "mainwnd/viewer_accounts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "settings/globals.h"
#include "settings/settings.h"

namespace {

class ViewerAccountsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&g_Settings.System, 0, sizeof g_Settings.System);
        g_nChannelCount = 4;
    }
    void TearDown() override { g_nChannelCount = 0; }

    static void SetAccount(int i, const char* name, const char* password,
                           std::initializer_list<int> channels) {
        std::memcpy(g_Settings.System.sUserName[i], name, std::min<size_t>(std::strlen(name), 17));
        std::memcpy(g_Settings.System.sUserPassword[i], password,
                    std::min<size_t>(std::strlen(password), 17));
        for (int c : channels) {
            g_Settings.System.byUserChannel[i][c] = 1;
        }
    }
};

TEST_F(ViewerAccountsTest, PasswordMatchesOnlyTheExactAccount) {
    SetAccount(0, "guard", "", {0});
    SetAccount(5, "Admin", "s3cret", {1, 2});
    SetAccount(23, "night", "owl", {3});

    struct Case {
        const char* user;
        const char* password;
        int expected;
    };
    const Case cases[] = {
        {"guard", "", 1},        // empty password matches an empty stored one
        {"guard", "x", 0},       //
        {"Admin", "s3cret", 1},  //
        {"admin", "s3cret", 0},  // case counts
        {"Admin", "S3cret", 0},  //
        {"Admin", "", 0},        // a stored password is not optional
        {"night", "owl", 1},     // the last account is searched
        {"", "", 0},             // no name, no login, even with free accounts
        {"nobody", "owl", 0},    //
        {"Admin", "s3cre", 0},   // a prefix is not the password
        {"Admi", "s3cret", 0},   // nor of the name
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckUserPassword(c.user, c.password), c.expected)
            << c.user << " / " << c.password;
    }
}

TEST_F(ViewerAccountsTest, OverlongTextsAreRefusedBeforeAnyCompare) {
    // A 17-character name stored in full (the field holds 17 characters
    // and a zero) must still never match.
    SetAccount(0, "abcdefghijklmnopq", "p", {0});
    SetAccount(1, "sixteen-chars-ok", "abcdefghijklmnopq", {0});
    EXPECT_EQ(CheckUserPassword("abcdefghijklmnopq", "p"), 0);
    EXPECT_EQ(CheckUserPassword("sixteen-chars-ok", "abcdefghijklmnopq"), 0);
    EXPECT_EQ(CheckUserChannelRight("abcdefghijklmnopq", 0), 0);
    EXPECT_EQ(CheckUserChannelRight("sixteen-chars-ok", 0), 1);
}

TEST_F(ViewerAccountsTest, ChannelRightNeedsTheRightAndARunningChannelNumber) {
    SetAccount(2, "viewer", "pw", {0, 3, 4});
    EXPECT_EQ(CheckUserChannelRight("viewer", 0), 1);
    EXPECT_EQ(CheckUserChannelRight("viewer", 1), 0);
    EXPECT_EQ(CheckUserChannelRight("viewer", 3), 1);
    EXPECT_EQ(CheckUserChannelRight("viewer", 4), 0);  // only 4 channels run
    EXPECT_EQ(CheckUserChannelRight("Viewer", 0), 0);
    EXPECT_EQ(CheckUserChannelRight("viewer", 255), 0);
}

TEST_F(ViewerAccountsTest, DeletedAccountNeverMatches) {
    SetAccount(7, "gone", "pw", {0, 1});
    g_Settings.System.sUserName[7][0] = '\0';  // deleted: the rest stays behind
    EXPECT_EQ(CheckUserPassword("", "pw"), 0);
    EXPECT_EQ(CheckUserChannelRight("", 0), 0);
    EXPECT_EQ(CheckUserPassword("gone", "pw"), 0);
}

TEST_F(ViewerAccountsTest, UnterminatedStoredFieldsAreReadWithinTheirBytes) {
    // A damaged table whose fields fill all 18 bytes must not be read past.
    std::memset(g_Settings.System.sUserName, 'a', sizeof g_Settings.System.sUserName);
    std::memset(g_Settings.System.sUserPassword, 'b', sizeof g_Settings.System.sUserPassword);
    EXPECT_EQ(CheckUserPassword("aaaaaaaaaaaaaaaa", "bbbbbbbbbbbbbbbb"), 0);
}

}  // namespace
