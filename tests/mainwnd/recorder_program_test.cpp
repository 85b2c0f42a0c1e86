// The built recorder program as a new user starts it: in an empty folder
// with a prepared ini on synthetic devices, under the offscreen platform.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <string>

#include "netservice/login_server.h"
#include "netservice/loopback_client.h"
#include "netservice/net_command.h"
#include "program_process.h"
#include "support/chdir_temp_dir.h"
#include "support/own_network.h"

using namespace program_test;

TEST(RecorderProgramTest, RecordsServesAViewerAndEndsInOrderOnSigterm) {
    // The program serves its fixed port; whatever else holds that port on
    // this machine stays outside.
    std::string why;
    if (!EnterOwnNetwork(&why)) {
        GTEST_SKIP() << why;
    }
    ChdirTempDir dir;
    PrepareDemoFolder();
    Program recorder(dir.path(), 1024, "first");

    // Files appear and grow.
    ASSERT_TRUE(WaitForRecording(std::chrono::seconds(40))) << recorder.Output();

    // A viewer logs in and gets stream packets.
    {
        LoopbackClient viewer(LOGIN_SERVER_PORT);
        ASSERT_TRUE(viewer.connected());
        ASSERT_TRUE(viewer.Send(LoginBytes("viewer", "viewer")));
        ASSERT_TRUE(viewer.Send(OpenBytes(0)));
        uint8_t code = 0;
        std::string payload;
        ASSERT_TRUE(viewer.ReadAnswer(&code, &payload));
        EXPECT_EQ(code, NETCMD_LOGIN_OK);
        ASSERT_TRUE(viewer.ReadAnswer(&code, &payload));
        EXPECT_EQ(code, NETCMD_OPEN_OK);
        StreamHeader header{};
        Bytes packet;
        EXPECT_TRUE(viewer.ReadPacket(&header, &packet));
    }

    // A second copy ends at once and leaves the first alone.
    {
        Program second(dir.path(), 1024, "second");
        int status = 0;
        EXPECT_TRUE(second.WaitEnd(std::chrono::seconds(5), &status));
    }

    recorder.Signal(SIGTERM);
    int status = 0;
    ASSERT_TRUE(recorder.WaitEnd(std::chrono::seconds(5), &status)) << recorder.Output();
    EXPECT_TRUE(WIFEXITED(status)) << recorder.Output();

    ExpectRecordFilesWhole();
    const auto texts = LogTexts("Quorvalind.001");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Quorvalind Start!  ver1.51...");
    EXPECT_EQ(texts.back(), "Quorvalind Exit !");
}

TEST(RecorderProgramTest, ScreenNarrowerThan1024EndsWithTheMessage) {
    ChdirTempDir dir;
    Program recorder(dir.path(), 1023, "small");
    int status = 0;
    ASSERT_TRUE(recorder.WaitEnd(std::chrono::seconds(20), &status));
    EXPECT_NE(recorder.Output().find("Please Set 1024*768!"), std::string::npos)
        << recorder.Output();
    EXPECT_FALSE(fs::exists("Quorvalind.001"));
}
