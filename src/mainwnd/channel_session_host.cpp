#include "mainwnd/channel_session_host.h"

#include "channel/av_channel.h"
#include "channel/channel_services.h"
#include "mainwnd/viewer_accounts.h"
#include "netservice/stream_sender.h"
#include "settings/globals.h"

namespace {

CAVChannel* ChannelAt(int channel) {
    if (channel < 0 || channel >= g_nChannelCount.load() || channel >= MAX_AV_CHANNELS) {
        return nullptr;
    }
    return g_pAVChannel[channel].load();
}

class ChannelSessionHost final : public INetSessionHost {
public:
    int CheckUserPassword(const char* user, const char* password) override {
        return ::CheckUserPassword(user, password);
    }
    int CheckUserChannelRight(const char* user, uint8_t channel) override {
        return ::CheckUserChannelRight(user, channel);
    }
    int GetChannelCount() override { return g_nChannelCount.load(); }
    bool IsChannelActive(int channel) override {
        CAVChannel* p = ChannelAt(channel);
        return p != nullptr && p->IsActive();
    }
    int AddViewer(int channel, CStreamQueue* queue) override {
        CAVChannel* p = ChannelAt(channel);
        return p != nullptr ? p->AddViewer(queue) : 0;
    }
    int RemoveViewer(int channel, CStreamQueue* queue) override {
        CAVChannel* p = ChannelAt(channel);
        return p != nullptr ? p->RemoveViewer(queue) : 0;
    }
    std::unique_ptr<IViewerSender> CreateStreamSender(uint32_t peerIp, NetSocket sock) override {
        return std::make_unique<CStreamSender>(peerIp, sock);
    }
    void WriteLogEntry(int type, int channel, const char* text) override {
        ChannelHost().WriteLogEntry(type, channel, text);
    }
};

ChannelSessionHost g_host;

}  // namespace

INetSessionHost* GetChannelSessionHost() {
    return &g_host;
}
