#pragma once
// What the running engine stands on in a test, for the life of the object:
// the given manual heartbeat, no sound card, 4 GB free on every drive, the
// settings paths in the current folder, and fresh settings recording on
// C: (the current folder) with plain surfaces.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "settings/globals.h"
#include "platform/drives/drives.h"
#include "platform/sound/pcm_output.h"
#include "platform/timer/periodic_timer.h"
#include "settings/settings.h"

class EngineTestServices {
public:
    explicit EngineTestServices(IPeriodicTimer& timer) {
        SetTimerService(&timer);
        SetPcmOutputService(MakeNullOutput(0));
        SetDiskSpaceSource([](char, const std::string&, DiskSpace& out) {
            out.freeToCaller = uint64_t{4096} << 20;
            return true;
        });
        EXPECT_EQ(InitSettingsPaths(), 1);
        g_Settings = Settings{};
        g_Settings.System.byRecordDrive[0] = 1;
        g_Settings.System.bOverlay = 0;
        g_Settings.System.bYuy2 = 0;
        g_nUptimeSeconds = 0;
    }
    ~EngineTestServices() {
        SetDiskSpaceSource({});
        SetPcmOutputService(nullptr);
        SetTimerService(nullptr);
    }
    EngineTestServices(const EngineTestServices&) = delete;
    EngineTestServices& operator=(const EngineTestServices&) = delete;
};
