#include "mainwnd/remote_channel_ops.h"

#include <atomic>

#include "channel/av_channel.h"
#include "platform/net/net_resolve.h"

namespace {

class CDefaultRemoteOps final : public IRemoteChannelOps {
public:
    int SetRemoteLogin(CAVChannel&, const std::string&, const std::string&) override { return 0; }
    bool CanConnectRemote(CAVChannel& channel) override {
        return !channel.IsLocal() && !channel.IsRemote();
    }
};

CDefaultRemoteOps g_defaultOps;
std::atomic<IRemoteChannelOps*> g_pOps{nullptr};

}  // namespace

void SetRemoteChannelOps(IRemoteChannelOps* ops) {
    g_pOps = ops;
}

IRemoteChannelOps& RemoteChannelOps() {
    IRemoteChannelOps* ops = g_pOps.load();
    return ops != nullptr ? *ops : g_defaultOps;
}

uint32_t ResolveHost(const char* name) {
    if (name == nullptr) {
        return NET_ADDRESS_NONE;
    }
    uint32_t ip = 0;
    if (LookupHostIPv4(name, &ip)) {
        return ip;
    }
    return ParseDottedIPv4(name);
}
