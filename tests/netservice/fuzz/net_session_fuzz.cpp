// Feeds arbitrary bytes, cut into arbitrary receives, to a server or a
// client session. Besides the sanitizers' checks, a result of Feed that
// breaks its contract stops the run.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "netservice/fake_session_host.h"
#include "netservice/net_session.h"

namespace {

// Any login whose password equals its user name is accepted, so the fuzzer
// reaches the open paths without guessing a password.
class FuzzHost : public FakeSessionHost {
public:
    FuzzHost() {
        channelCount = 4;
        activeChannels = {0, 1, 3};
    }
    int CheckUserPassword(const char* user, const char* password) override {
        return user[0] != '\0' && std::strcmp(user, password) == 0;
    }
    int CheckUserChannelRight(const char*, uint8_t channel) override { return channel != 1; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const NetRole role = (data[0] & 1) ? NetRole::Client : NetRole::Server;
    const size_t chunk = 1 + (data[0] >> 1);  // receive size, 1..128
    ++data;
    --size;

    FuzzHost host;
    {
        CNetSession session(role, 0x7F000001u, INVALID_NET_SOCKET, &host);
        size_t pos = 0;
        while (pos < size) {
            const int count = static_cast<int>(size - pos < chunk ? size - pos : chunk);
            const bool streamingBefore = session.IsStreaming();
            const int taken = session.Feed(data + pos, count);
            if (taken == -1)
                break;
            if (taken < 0 || taken > count)
                __builtin_trap();
            if (streamingBefore && taken != 0)
                __builtin_trap();
            // Bytes are left over only when a message started the stream.
            if (taken < count && !session.IsStreaming())
                __builtin_trap();
            if (session.IsStreaming())
                break;
            pos += static_cast<size_t>(count);
        }
        if (session.IsStreaming() && role == NetRole::Server &&
            (session.GetOpenChannel() < 0 || session.GetSender() == nullptr)) {
            __builtin_trap();
        }
    }
    // Whatever the session registered it also unregistered.
    for (const auto& entry : host.viewers) {
        if (!entry.second.empty())
            __builtin_trap();
    }
    return 0;
}
