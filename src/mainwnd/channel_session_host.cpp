#include "mainwnd/channel_session_host.h"

#include "channel/channel_table_host.h"
#include "mainwnd/viewer_accounts.h"

namespace {

// The channel table with the viewer accounts of the system block.
class ChannelSessionHost final : public CChannelTableHost {
public:
    int CheckUserPassword(const char* user, const char* password) override {
        return ::CheckUserPassword(user, password);
    }
    int CheckUserChannelRight(const char* user, uint8_t channel) override {
        return ::CheckUserChannelRight(user, channel);
    }
};

ChannelSessionHost g_host;

}  // namespace

INetSessionHost* GetChannelSessionHost() {
    return &g_host;
}
