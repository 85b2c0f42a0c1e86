#pragma once
// The channel table served to the real login server with one account,
// "viewer" / "secret", which has a right for every channel.

#include <cstring>

#include "channel/channel_table_host.h"
#include "settings/globals.h"

class FixedAccountHost final : public CChannelTableHost {
public:
    int CheckUserPassword(const char* user, const char* password) override {
        return std::strcmp(user, "viewer") == 0 && std::strcmp(password, "secret") == 0;
    }
    int CheckUserChannelRight(const char* user, uint8_t channel) override {
        return std::strcmp(user, "viewer") == 0 && channel < g_nChannelCount.load();
    }
};
