#include "platform/threads/thread_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include "platform/threads/thread_creation_faults.h"
#include "platform/threads/thread_messages.h"

namespace {

// Serves messages until WM_THREAD_QUIT; counts the others.
uint32_t CountUntilQuit(void* param) {
    auto* count = static_cast<std::atomic<int>*>(param);
    ThreadMessage msg;
    while (GetMessage(&msg) && msg.message != WM_THREAD_QUIT) {
        ++*count;
    }
    return 0;
}

TEST(ThreadQueueTest, PostMadeBeforeTheThreadFirstWaitsIsServed) {
    std::atomic<bool> go{false};
    std::vector<ThreadMessage> got;
    ThreadId id = 0;
    ThreadHandle h = CreateThread(
        [&]() -> uint32_t {
            while (!go) {
                std::this_thread::yield();
            }
            ThreadMessage msg;
            while (GetMessage(&msg) && msg.message != WM_THREAD_QUIT) {
                got.push_back(msg);
            }
            return 0;
        },
        &id);
    ASSERT_NE(h, nullptr);
    ASSERT_NE(id, 0u);

    // Both posts happen while the body has not waited yet.
    EXPECT_TRUE(PostThreadMessage(id, WM_CHANNEL_CONNECT, 0xC0A80001u, -(9228 | (3 << 16))));
    EXPECT_TRUE(PostThreadMessage(id, WM_THREAD_QUIT, 0, 0));
    go = true;
    ASSERT_TRUE(WaitForThread(h, INFINITE));
    CloseThreadHandle(h);

    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_CHANNEL_CONNECT);
    EXPECT_EQ(got[0].wParam, 0xC0A80001u);
    EXPECT_EQ(got[0].lParam, -(9228 | (3 << 16)));
}

TEST(ThreadQueueTest, PostsToNoQueueFail) {
    std::atomic<int> count{0};
    ThreadId id = 0;
    ThreadHandle h = CreateThread(CountUntilQuit, &count, &id);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(PostThreadMessage(id, WM_DRAW_VIDEO, 0, 0));
    EXPECT_TRUE(PostThreadMessage(id, WM_THREAD_QUIT, 0, 0));
    ASSERT_TRUE(WaitForThread(h, INFINITE));
    CloseThreadHandle(h);
    EXPECT_EQ(count.load(), 1);

    EXPECT_FALSE(PostThreadMessage(id, WM_DRAW_VIDEO, 0, 0)) << "ended thread";
    EXPECT_FALSE(PostThreadMessage(0, WM_DRAW_VIDEO, 0, 0)) << "id 0";
    EXPECT_FALSE(PostThreadMessage(0xFFFFFFF0u, WM_DRAW_VIDEO, 0, 0)) << "unknown id";

    ThreadId plain = 0;
    std::thread([&] { plain = GetCurrentThreadId(); }).join();
    EXPECT_NE(plain, 0u);
    EXPECT_FALSE(PostThreadMessage(plain, WM_DRAW_VIDEO, 0, 0)) << "thread without a queue";
}

TEST(ThreadQueueTest, RegisteredThreadOwnsAQueueUntilItUnregistersOrEnds) {
    ThreadMessage msg;
    EXPECT_FALSE(GetMessage(&msg)) << "no queue: returns at once";
    EXPECT_FALSE(PeekMessage(&msg));

    const ThreadId self = RegisterThreadQueue();
    EXPECT_EQ(self, GetCurrentThreadId());
    EXPECT_EQ(RegisterThreadQueue(), self) << "registering again keeps the queue";
    EXPECT_FALSE(PeekMessage(&msg)) << "empty queue: peek does not block";
    EXPECT_FALSE(GetMessageTimeout(&msg, 5));

    ASSERT_TRUE(PostThreadMessage(self, WM_SECOND_TICK, 1, 2));
    ASSERT_TRUE(PeekMessage(&msg));
    EXPECT_EQ(msg.message, WM_SECOND_TICK);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.lParam, 2);

    ASSERT_TRUE(PostThreadMessage(self, WM_DRAW_VIDEO, 0, 0));
    UnregisterThreadQueue();
    EXPECT_FALSE(PeekMessage(&msg)) << "queued messages go with the queue";
    EXPECT_FALSE(PostThreadMessage(self, WM_DRAW_VIDEO, 0, 0));

    ThreadId other = 0;
    std::thread([&] { other = RegisterThreadQueue(); }).join();
    EXPECT_FALSE(PostThreadMessage(other, WM_DRAW_VIDEO, 0, 0)) << "queue ended with its thread";
}

TEST(ThreadQueueTest, QueueRegisteredAgainGetsPostsOfASenderThatPostedBefore) {
    const ThreadId self = RegisterThreadQueue();
    ASSERT_TRUE(PostThreadMessage(self, WM_USER, 1, 0));
    UnregisterThreadQueue();
    EXPECT_FALSE(PostThreadMessage(self, WM_USER, 2, 0));

    EXPECT_EQ(RegisterThreadQueue(), self) << "the thread keeps its id";
    ASSERT_TRUE(PostThreadMessage(self, WM_USER, 3, 0));
    ThreadMessage msg;
    ASSERT_TRUE(PeekMessage(&msg));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&msg));
    UnregisterThreadQueue();
}

TEST(ThreadQueueTest, IdsAreDistinctNonZeroAndKnownToTheThreadItself) {
    constexpr int kThreads = 8;
    std::vector<ThreadHandle> handles;
    std::vector<ThreadId> ids(kThreads);
    std::vector<ThreadId> seenInside(kThreads);
    for (int i = 0; i < kThreads; ++i) {
        handles.push_back(CreateThread(
            [&seenInside, i]() -> uint32_t {
                seenInside[i] = GetCurrentThreadId();
                return 0;
            },
            &ids[i]));
        ASSERT_NE(handles.back(), nullptr);
    }
    std::set<ThreadId> unique;
    for (int i = 0; i < kThreads; ++i) {
        ASSERT_TRUE(WaitForThread(handles[i], INFINITE));
        CloseThreadHandle(handles[i]);
        EXPECT_NE(ids[i], 0u);
        EXPECT_EQ(seenInside[i], ids[i]);
        unique.insert(ids[i]);
    }
    EXPECT_EQ(unique.size(), static_cast<size_t>(kThreads));

    // An id of an ended thread is not handed out again.
    ThreadId later = 0;
    ThreadHandle h = CreateThread([]() -> uint32_t { return 0; }, &later);
    ASSERT_TRUE(WaitForThread(h, INFINITE));
    CloseThreadHandle(h);
    EXPECT_EQ(unique.count(later), 0u);
}

TEST(ThreadQueueTest, TimedOutWaitCanBeRepeated) {
    std::atomic<int> count{0};
    ThreadId id = 0;
    ThreadHandle h = CreateThread(CountUntilQuit, &count, &id);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(WaitForThread(h, 0));
    EXPECT_FALSE(WaitForThread(h, 20));
    ASSERT_TRUE(PostThreadMessage(id, WM_THREAD_QUIT, 0, 0));
    EXPECT_TRUE(WaitForThread(h, INFINITE));
    EXPECT_TRUE(WaitForThread(h, 0)) << "an ended thread stays ended";
    CloseThreadHandle(h);
    EXPECT_FALSE(WaitForThread(nullptr, 0));
}

TEST(ThreadQueueTest, ThreadNeverWaitsForItself) {
    std::atomic<ThreadHandle> self{nullptr};
    std::atomic<int> result{-1};
    ThreadId id = 0;
    ThreadHandle h = CreateThread(
        [&]() -> uint32_t {
            ThreadMessage msg;
            GetMessage(&msg);  // wait until the handle is published
            result = WaitForThread(self.load(), INFINITE) ? 1 : 0;
            return 0;
        },
        &id);
    ASSERT_NE(h, nullptr);
    self = h;
    ASSERT_TRUE(PostThreadMessage(id, WM_USER, 0, 0));
    ASSERT_TRUE(WaitForThread(h, INFINITE));
    CloseThreadHandle(h);
    EXPECT_EQ(result.load(), 0);
}

TEST(ThreadQueueTest, ClosingTheHandleLeavesTheThreadRunning) {
    std::atomic<int> count{0};
    ThreadId id = 0;
    ThreadHandle h = CreateThread(CountUntilQuit, &count, &id);
    ASSERT_NE(h, nullptr);
    CloseThreadHandle(h);
    ASSERT_TRUE(PostThreadMessage(id, WM_DRAW_VIDEO, 0, 0));
    ASSERT_TRUE(PostThreadMessage(id, WM_THREAD_QUIT, 0, 0));
    while (PostThreadMessage(id, WM_USER, 0, 0)) {  // until its queue ends with it
        std::this_thread::yield();
    }
    EXPECT_GE(count.load(), 1);
}

TEST(ThreadQueueTest, CreationFailureGivesNoHandleAndIdZero) {
    SetThreadCreationFails(true);
    ThreadId id = 123;
    std::atomic<int> count{0};
    EXPECT_EQ(CreateThread(CountUntilQuit, &count, &id), nullptr);
    EXPECT_EQ(id, 0u);
    SetThreadCreationFails(false);

    id = 123;
    EXPECT_EQ(CreateThread(static_cast<ThreadProc>(nullptr), nullptr, &id), nullptr);
    EXPECT_EQ(id, 0u);
}

TEST(ThreadQueueTest, MillionPostsFromEightSendersArriveOnceAndInOrderPerSender) {
    constexpr int kSenders = 8;
    constexpr int kPerSender = 1000000 / kSenders;
    const ThreadId receiver = RegisterThreadQueue();

    std::vector<std::thread> senders;
    std::atomic<int> failedPosts{0};
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([=, &failedPosts] {
            for (int i = 0; i < kPerSender; ++i) {
                if (!PostThreadMessage(receiver, WM_USER + s, static_cast<WPARAM>(i), s)) {
                    ++failedPosts;
                }
            }
        });
    }

    std::vector<int> next(kSenders, 0);
    int outOfOrder = 0;
    int foreign = 0;
    long received = 0;
    const long expected = static_cast<long>(kSenders) * kPerSender;
    ThreadMessage msg;
    while (received < expected && GetMessageTimeout(&msg, 10000)) {
        ++received;
        const int s = static_cast<int>(msg.message - WM_USER);
        if (s < 0 || s >= kSenders || msg.lParam != s) {
            ++foreign;
            continue;
        }
        if (msg.wParam != static_cast<WPARAM>(next[s])) {
            ++outOfOrder;
        }
        next[s] = static_cast<int>(msg.wParam) + 1;
    }
    for (std::thread& t : senders) {
        t.join();
    }
    EXPECT_EQ(failedPosts.load(), 0);
    EXPECT_EQ(received, expected);
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_EQ(foreign, 0);
    for (int s = 0; s < kSenders; ++s) {
        EXPECT_EQ(next[s], kPerSender) << "sender " << s;
    }
    EXPECT_FALSE(PeekMessage(&msg)) << "nothing arrived twice";
    UnregisterThreadQueue();
}

}  // namespace
