// The tests' strict message-box script: it answers the boxes it expects,
// in order, and fails a test on any other box or on a box never shown.

#include "support/scripted_message_boxes.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(ScriptedMessageBoxesTest, AnswersTheExpectedBoxesInOrder) {
    ScriptedMessageBoxes boxes;
    boxes.Expect("Setting is changed! Back to save?", IDYES);
    boxes.Expect({"Please enter an integer.", IDOK, "Quorvalind", MB_OK | MB_ICONEXCLAMATION});
    EXPECT_EQ(AfxMessageBox("Setting is changed! Back to save?", MB_YESNO), IDYES);
    EXPECT_EQ(AfxMessageBox("Please enter an integer.", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_TRUE(boxes.AllShown());
    EXPECT_EQ(boxes.Shown().size(), 2u);
}

TEST(ScriptedMessageBoxesTest, AnUnexpectedBoxFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedMessageBoxes boxes;
            EXPECT_EQ(AfxMessageBox("Channels have Changed! Please Restart!"), IDCANCEL);
        },
        "unexpected message box");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedMessageBoxes boxes;
            boxes.Expect("one");
            AfxMessageBox("two");  // out of turn
            AfxMessageBox("one");
        },
        "expected \"one\"");
}

TEST(ScriptedMessageBoxesTest, ABoxNeverShownFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedMessageBoxes boxes;
            boxes.Expect("Setting is changed! Back to save?", IDNO);
        },
        "never shown");
}

TEST(ScriptedMessageBoxesTest, ACaptionOrTypeOtherThanExpectedFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedMessageBoxes boxes;
            boxes.Expect({"Ip Address is Null???", IDOK, "ERROR", MB_OK});
            ShowMessageBox("Ip Address is Null???", "Quorvalind", MB_OK);
        },
        "ERROR");
}

}  // namespace
