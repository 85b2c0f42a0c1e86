#pragma once
// What the login sessions reach of this process's channels: the channel
// table of g_pAVChannel, viewer registration under each channel's mutex,
// a real CStreamSender per viewer and the channels' event log. Whoever
// serves the channels adds the account checks.

#include <cstdint>
#include <memory>

#include "netservice/net_session_host.h"

class CChannelTableHost : public INetSessionHost {
public:
    int GetChannelCount() override;
    bool IsChannelActive(int channel) override;
    int AddViewer(int channel, CStreamQueue* queue) override;
    int RemoveViewer(int channel, CStreamQueue* queue) override;
    std::unique_ptr<IViewerSender> CreateStreamSender(uint32_t peerIp, NetSocket sock) override;
    void WriteLogEntry(int type, int channel, const char* text) override;
};
