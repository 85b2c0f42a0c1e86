#pragma once
// An event log that keeps its lines in memory, for tests of code that logs.

#include <mutex>
#include <string>
#include <vector>

#include "settings/event_log.h"

class RecordingEventLog final : public IEventLog {
public:
    struct Line {
        int type;
        int channel;
        std::string text;
        bool operator==(const Line&) const = default;
    };

    void WriteLogEntry(int type, int channel, const char* text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back({type, channel, text ? text : ""});
    }

    std::vector<Line> lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};
