#pragma once
// A session host that records what a session asks of the outside: account
// checks, channel table, viewer registration, senders and log lines.

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "netservice/net_session_host.h"
#include "netservice/stream_queue.h"

class FakeSessionHost;

class FakeViewerSender : public IViewerSender {
public:
    FakeViewerSender(FakeSessionHost* host, uint32_t peerIp, NetSocket sock)
        : host(host), peerIp(peerIp), sock(sock) {}
    ~FakeViewerSender() override;
    CStreamQueue* GetQueue() override { return &queue; }
    bool EnableNotify(bool on) override {
        notifyOn = on;
        return true;
    }
    bool IsConnected() const override { return connected; }

    FakeSessionHost* host;
    uint32_t peerIp;
    NetSocket sock;
    CStreamQueue queue;
    bool notifyOn = false;
    bool connected = true;
};

class FakeSessionHost : public INetSessionHost {
public:
    struct Account {
        std::string password;
        std::set<int> rights;
    };
    struct LogLine {
        int type;
        int channel;
        std::string text;
    };

    std::map<std::string, Account> accounts;
    int channelCount = 4;
    std::set<int> activeChannels{0, 1, 2, 3};
    std::map<int, std::vector<CStreamQueue*>> viewers;
    std::vector<LogLine> log;
    std::vector<std::string> calls;  // AddViewer / RemoveViewer / sender deleted, in order
    bool failSenderCreation = false;
    FakeViewerSender* lastSender = nullptr;

    int CheckUserPassword(const char* user, const char* password) override {
        auto it = accounts.find(user);
        return it != accounts.end() && it->second.password == password;
    }
    int CheckUserChannelRight(const char* user, uint8_t channel) override {
        auto it = accounts.find(user);
        return it != accounts.end() && it->second.rights.count(channel) > 0;
    }
    int GetChannelCount() override { return channelCount; }
    bool IsChannelActive(int channel) override { return activeChannels.count(channel) > 0; }
    int AddViewer(int channel, CStreamQueue* queue) override {
        calls.push_back("AddViewer " + std::to_string(channel));
        auto& list = viewers[channel];
        if (list.size() >= 3 || std::find(list.begin(), list.end(), queue) != list.end())
            return 0;
        list.push_back(queue);
        return 1;
    }
    int RemoveViewer(int channel, CStreamQueue* queue) override {
        calls.push_back("RemoveViewer " + std::to_string(channel));
        auto& list = viewers[channel];
        auto it = std::find(list.begin(), list.end(), queue);
        if (it == list.end())
            return 0;
        list.erase(it);
        return 1;
    }
    std::unique_ptr<IViewerSender> CreateStreamSender(uint32_t peerIp, NetSocket sock) override {
        if (failSenderCreation)
            return nullptr;
        auto sender = std::make_unique<FakeViewerSender>(this, peerIp, sock);
        lastSender = sender.get();
        return sender;
    }
    void WriteLogEntry(int type, int channel, const char* text) override {
        log.push_back({type, channel, text});
    }
};

inline FakeViewerSender::~FakeViewerSender() {
    host->calls.push_back("sender deleted");
    if (host->lastSender == this)
        host->lastSender = nullptr;
}
