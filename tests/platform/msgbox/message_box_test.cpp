#include "platform/msgbox/message_box.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxUiThread();
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_seen.push_back(r);
            return m_answer;
        });
    }
    void TearDown() override {
        FlushPendingMessageBoxes();
        SetMessageBoxHandler({});
    }

    std::vector<MessageBoxRequest> Seen() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }

    std::mutex m_mutex;
    std::vector<MessageBoxRequest> m_seen;
    int m_answer = IDNO;
};

TEST_F(MessageBoxTest, UiThreadGetsTheHandlersAnswer) {
    EXPECT_EQ(ShowMessageBox("Setting is changed! Back to save?", "Warning", MB_YESNO), IDNO);
    auto seen = Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_EQ(seen[0].type, MB_YESNO);
    EXPECT_FALSE(seen[0].fromWorkerThread);
}

TEST_F(MessageBoxTest, WorkerThreadDoesNotWaitForTheHandler) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    SetMessageBoxHandler([this, released](const MessageBoxRequest& r) {
        released.wait();  // a user who has not answered yet
        std::lock_guard<std::mutex> lock(m_mutex);
        m_seen.push_back(r);
        return IDOK;
    });

    std::atomic<bool> returned{false};
    std::thread worker([&] {
        EXPECT_EQ(AfxMessageBox("StartRecord failed!"), IDOK);
        returned = true;
    });
    worker.join();
    EXPECT_TRUE(returned);  // the worker came back while the box is still open

    release.set_value();
    FlushPendingMessageBoxes();
    auto seen = Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "StartRecord failed!");
    EXPECT_EQ(seen[0].caption, "Quorvalind");
    EXPECT_TRUE(seen[0].fromWorkerThread);
}

TEST_F(MessageBoxTest, WorkerBoxesReachTheHandlerInOrder) {
    std::thread worker([] {
        ShowMessageBox("first", "ERROR");
        ShowMessageBox("second", "ERROR");
        ShowMessageBox("third", "ERROR");
    });
    worker.join();
    FlushPendingMessageBoxes();
    auto seen = Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].text, "first");
    EXPECT_EQ(seen[2].text, "third");
}

TEST_F(MessageBoxTest, RefusedBoxesNeverReachTheHandler) {
    SetMessageBoxesRefused(true);
    // Yes/No included: a refused question must not read as a yes.
    for (unsigned type : {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL}) {
        EXPECT_EQ(ShowMessageBox("FULL ! No Record Disk Space!", "WARNING", type), IDCANCEL);
    }
    std::thread worker([] { EXPECT_EQ(AfxMessageBox("StartRecord failed!"), IDOK); });
    worker.join();
    FlushPendingMessageBoxes();
    EXPECT_TRUE(Seen().empty());

    SetMessageBoxesRefused(false);
    EXPECT_EQ(AfxMessageBox("Channels have Changed! Please Restart!"), IDNO);
    EXPECT_EQ(Seen().size(), 1u);
}

// A box printed on the console (headless runs, refused boxes) shows its
// GB2312 text as the UTF-8 a terminal reads.
TEST(MessageBoxConsoleTest, GbTextsArePrintedAsUtf8) {
    MessageBoxRequest request;
    request.caption = "ERROR";
    request.text =
        "Socket\xb4\xb4\xbd\xa8"
        "bind\xca\xa7\xb0\xdc!";
    ::testing::internal::CaptureStderr();
    PrintMessageBoxOnConsole(request);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "[ERROR] Socket\xe5\x88\x9b\xe5\xbb\xba"
              "bind\xe5\xa4\xb1\xe8\xb4\xa5!\n");
}
}  // namespace
