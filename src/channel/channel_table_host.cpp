#include "channel/channel_table_host.h"

#include "channel/av_channel.h"
#include "channel/channel_services.h"
#include "netservice/stream_sender.h"
#include "settings/globals.h"

namespace {

CAVChannel* ChannelAt(int channel) {
    if (channel < 0 || channel >= g_nChannelCount.load() || channel >= MAX_AV_CHANNELS) {
        return nullptr;
    }
    return g_pAVChannel[channel].load();
}

}  // namespace

int CChannelTableHost::GetChannelCount() {
    return g_nChannelCount.load();
}

bool CChannelTableHost::IsChannelActive(int channel) {
    CAVChannel* p = ChannelAt(channel);
    return p != nullptr && p->IsActive();
}

int CChannelTableHost::AddViewer(int channel, CStreamQueue* queue) {
    CAVChannel* p = ChannelAt(channel);
    return p != nullptr ? p->AddViewer(queue) : 0;
}

int CChannelTableHost::RemoveViewer(int channel, CStreamQueue* queue) {
    CAVChannel* p = ChannelAt(channel);
    return p != nullptr ? p->RemoveViewer(queue) : 0;
}

std::unique_ptr<IViewerSender> CChannelTableHost::CreateStreamSender(uint32_t peerIp,
                                                                     NetSocket sock) {
    return std::make_unique<CStreamSender>(peerIp, sock);
}

void CChannelTableHost::WriteLogEntry(int type, int channel, const char* text) {
    ChannelHost().WriteLogEntry(type, channel, text);
}
