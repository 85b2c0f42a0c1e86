#pragma once
// The two remote-channel operations the main dialog uses, kept behind a
// small interface until the channel object offers them itself. The default
// stores nothing and lets a channel connect while it is neither local nor
// remote.

#include <cstdint>
#include <string>

class CAVChannel;

class IRemoteChannelOps {
public:
    virtual ~IRemoteChannelOps() = default;
    // The login the channel's next connection uses; its result is not used.
    virtual int SetRemoteLogin(CAVChannel& channel, const std::string& user,
                               const std::string& password) = 0;
    // Not local and no receive thread running.
    virtual bool CanConnectRemote(CAVChannel& channel) = 0;
};

// Null restores the default.
void SetRemoteChannelOps(IRemoteChannelOps* ops);
IRemoteChannelOps& RemoteChannelOps();

// A host name or dotted IPv4 address as an address in host byte order;
// 0xFFFFFFFF when it is neither (the connection to it then fails).
uint32_t ResolveHost(const char* name);
