#pragma once
// A strict message-box script for tests: each expected box by its text,
// with the answer to give, in order. A box that is not the next expected
// one fails the test (and is answered IDCANCEL); boxes still expected when
// the script ends fail it too. Optionally checks caption and type, and runs
// a step while the box is up (to look at the focus, say).

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/msgbox/message_box.h"

class ScriptedMessageBoxes {
public:
    struct Expected {
        std::string text;
        int answer = IDOK;
        std::string caption{};  // empty: any
        unsigned type = ~0u;    // ~0u: any
        std::function<void()> whileShown{};
    };

    ScriptedMessageBoxes() {
        SetMessageBoxHandler([this](const MessageBoxRequest& r) { return Answer(r); });
    }
    ~ScriptedMessageBoxes() {
        FlushPendingMessageBoxes();
        SetMessageBoxHandler({});
        for (const Expected& e : m_expected) {
            ADD_FAILURE() << "message box never shown: \"" << e.text << "\"";
        }
    }
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    void Expect(std::string text, int answer = IDOK) { Expect(Expected{std::move(text), answer}); }
    void Expect(Expected e) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_expected.push_back(std::move(e));
    }

    // Every box shown so far, in order.
    std::vector<MessageBoxRequest> Shown() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_shown;
    }
    bool AllShown() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_expected.empty();
    }

private:
    // Boxes of worker threads arrive on a thread of their own.
    int Answer(const MessageBoxRequest& r) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_shown.push_back(r);
        if (m_expected.empty() || m_expected.front().text != r.text) {
            ADD_FAILURE() << "unexpected message box: \"" << r.text << "\" (caption \"" << r.caption
                          << "\")"
                          << (m_expected.empty()
                                  ? std::string()
                                  : ", expected \"" + m_expected.front().text + "\"");
            return IDCANCEL;
        }
        Expected e = std::move(m_expected.front());
        m_expected.pop_front();
        lock.unlock();
        if (!e.caption.empty()) {
            EXPECT_EQ(r.caption, e.caption) << r.text;
        }
        if (e.type != ~0u) {
            EXPECT_EQ(r.type, e.type) << r.text;
        }
        if (e.whileShown) {
            e.whileShown();
        }
        return e.answer;
    }

    mutable std::mutex m_mutex;
    std::deque<Expected> m_expected;
    std::vector<MessageBoxRequest> m_shown;
};
