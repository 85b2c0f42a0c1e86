#pragma once
// A session host for login server tests: accounts and channels under a
// lock (the server thread asks, the test thread looks), real stream
// senders, and the viewer queues each channel holds, which the test fills
// as a channel's fan-out would.

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "netservice/net_session_host.h"
#include "netservice/stream_queue.h"
#include "netservice/stream_sender.h"

class ServerTestHost : public INetSessionHost {
public:
    struct Account {
        std::string password;
        std::set<int> rights;
    };

    ServerTestHost() {
        accounts_["viewer"] = {"secret", {0, 1, 2, 3}};
        accounts_["guest"] = {"", {1}};
    }

    int CheckUserPassword(const char* user, const char* password) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = accounts_.find(user);
        return it != accounts_.end() && it->second.password == password;
    }
    int CheckUserChannelRight(const char* user, uint8_t channel) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = accounts_.find(user);
        return it != accounts_.end() && it->second.rights.count(channel) > 0;
    }
    int GetChannelCount() override { return 4; }
    bool IsChannelActive(int channel) override { return channel != 3; }  // channel 3 is idle
    int AddViewer(int channel, CStreamQueue* queue) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto& list = viewers_[channel];
        if (list.size() >= 3 || std::find(list.begin(), list.end(), queue) != list.end())
            return 0;
        list.push_back(queue);
        return 1;
    }
    int RemoveViewer(int channel, CStreamQueue* queue) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto& list = viewers_[channel];
        auto it = std::find(list.begin(), list.end(), queue);
        if (it == list.end())
            return 0;
        list.erase(it);
        return 1;
    }
    std::unique_ptr<IViewerSender> CreateStreamSender(uint32_t peerIp, NetSocket sock) override {
        return std::make_unique<CStreamSender>(peerIp, sock);
    }
    void WriteLogEntry(int, int, const char* text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(text);
    }

    size_t ViewerCount(int channel) {
        std::lock_guard<std::mutex> lock(mutex_);
        return viewers_[channel].size();
    }
    // Pushes one packet to every viewer of the channel, as the fan-out does
    // under the channel mutex (here: the host's lock).
    void PushToViewers(int channel, const uint8_t* data, uint32_t header, int len) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (CStreamQueue* q : viewers_[channel])
            q->Push(data, header, len);
    }
    std::vector<std::string> Log() {
        std::lock_guard<std::mutex> lock(mutex_);
        return log_;
    }

private:
    std::mutex mutex_;
    std::map<std::string, Account> accounts_;
    std::map<int, std::vector<CStreamQueue*>> viewers_;
    std::vector<std::string> log_;
};
