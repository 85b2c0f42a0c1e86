#pragma once
// A login sessions' host over this process's channel table, so that the
// channels are served by the real login server and real stream senders:
// one account, "viewer" / "secret", with a right for every channel; log
// lines go to the channels' host.

#include <cstring>
#include <memory>

#include "channel/av_channel.h"
#include "channel/channel_services.h"
#include "netservice/net_session_host.h"
#include "netservice/stream_sender.h"
#include "settings/globals.h"

class ChannelTableHost final : public INetSessionHost {
public:
    int CheckUserPassword(const char* user, const char* password) override {
        return std::strcmp(user, "viewer") == 0 && std::strcmp(password, "secret") == 0;
    }
    int CheckUserChannelRight(const char* user, uint8_t channel) override {
        return std::strcmp(user, "viewer") == 0 && channel < g_nChannelCount.load();
    }
    int GetChannelCount() override { return g_nChannelCount.load(); }
    bool IsChannelActive(int channel) override {
        CAVChannel* p = At(channel);
        return p != nullptr && p->IsActive();
    }
    int AddViewer(int channel, CStreamQueue* queue) override {
        CAVChannel* p = At(channel);
        return p != nullptr ? p->AddViewer(queue) : 0;
    }
    int RemoveViewer(int channel, CStreamQueue* queue) override {
        CAVChannel* p = At(channel);
        return p != nullptr ? p->RemoveViewer(queue) : 0;
    }
    std::unique_ptr<IViewerSender> CreateStreamSender(uint32_t peerIp, NetSocket sock) override {
        return std::make_unique<CStreamSender>(peerIp, sock);
    }
    void WriteLogEntry(int type, int channel, const char* text) override {
        ChannelHost().WriteLogEntry(type, channel, text);
    }

private:
    static CAVChannel* At(int channel) {
        return channel >= 0 && channel < g_nChannelCount.load() && channel < MAX_AV_CHANNELS
                   ? g_pAVChannel[channel].load()
                   : nullptr;
    }
};
