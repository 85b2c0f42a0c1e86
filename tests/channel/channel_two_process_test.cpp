// Two copies on loopback, each its own process: one serves a local
// channel, the other's remote channel watches it and serves it again to a
// viewer of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "netservice/loopback_client.h"
#include "support/driver_process.h"

namespace {

TEST(TwoProcessTest, RemoteChannelOfOneCopyRelaysTheOthersChannelToItsOwnViewer) {
    Driver server(QV_REMOTE_DRIVER, {"serve"});
    const uint16_t serverPort = server.ReadPort();
    ASSERT_NE(serverPort, 0);
    Driver relay(QV_REMOTE_DRIVER, {"relay", std::to_string(serverPort)});
    const uint16_t relayPort = relay.ReadPort();
    ASSERT_NE(relayPort, 0);

    // The relay's channel goes active once it streams; until then it
    // answers the open with a null channel.
    std::unique_ptr<LoopbackClient> viewer;
    uint8_t code = 0;
    std::string payload;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        viewer = std::make_unique<LoopbackClient>(relayPort);
        ASSERT_TRUE(viewer->connected());
        ASSERT_TRUE(viewer->Send(LoginBytes("viewer", "secret") + OpenBytes(0)));
        ASSERT_TRUE(viewer->ReadAnswer(&code, &payload));
        ASSERT_EQ(code, NETCMD_LOGIN_OK);
        ASSERT_TRUE(viewer->ReadAnswer(&code, &payload));
        if (code == NETCMD_OPEN_OK)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ASSERT_EQ(code, NETCMD_OPEN_OK);

    int video = 0;
    for (int i = 0; i < 20; ++i) {
        StreamHeader h = 0;
        Bytes p;
        ASSERT_TRUE(viewer->ReadPacket(&h, &p, 5000)) << i;
        if (i == 0) {
            EXPECT_TRUE(IsVideoKeyFrame(h));
        }
        EXPECT_EQ(GetCodecType(h), 1);  // H.264, as the serving copy sends it
        EXPECT_EQ(GetPicSizeCodeOf(h), 5);
        EXPECT_EQ(p.size(), GetPayloadLength(h));
        video += IsVideoPacket(h) ? 1 : 0;
    }
    EXPECT_EQ(video, 20);
    viewer.reset();
    EXPECT_TRUE(relay.Stop());
    EXPECT_TRUE(server.Stop());
}

}  // namespace
