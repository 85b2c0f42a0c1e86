#include "alerts/alert_channels.h"

#include <atomic>

#include "channel/av_channel.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"

namespace {

CAVChannel* ChannelObject(int channel) {
    if (channel < 0 || channel >= MAX_AV_CHANNELS) {
        return nullptr;
    }
    return g_pAVChannel[channel].load();
}

// The channel objects stay alive while the alert threads run: the exit
// joins both threads before it deletes the channels.
class CChannelTableView final : public IAlertChannels {
public:
    bool IsMotionAlarm(int channel) override {
        CAVChannel* p = ChannelObject(channel);
        return p != nullptr && p->IsMotionAlarm() != 0;
    }
    void RequestSnapshot(int channel) override {
        CAVChannel* p = ChannelObject(channel);
        if (p != nullptr) {
            PostThreadMessage(p->GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
        }
    }
};

CChannelTableView g_channelTable;
std::atomic<IAlertChannels*> g_installed{nullptr};

}  // namespace

void SetAlertChannels(IAlertChannels* channels) {
    g_installed.store(channels);
}

IAlertChannels& AlertChannels() {
    IAlertChannels* p = g_installed.load();
    return p != nullptr ? *p : g_channelTable;
}
