#include "mainwnd/resolve_host.h"

#include "platform/net/net_resolve.h"

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
