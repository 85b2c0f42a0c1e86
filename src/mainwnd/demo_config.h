#pragma once
// The first configuration a new user gets: four local channels on the
// cameras found, taking turns when there are fewer (a camera feeds every
// channel that names it), the first channel with the first microphone's
// sound, all recording all day; C: as the record drive and one viewer
// account "viewer" / "viewer" for every channel.

#include <string>
#include <vector>

struct DemoCamera {
    int place;         // 1-based place among the capture devices
    std::string name;  // as the capture layer gives it (GB2312)
};

// Fills g_Settings, with the device names the channel list shows. Without
// a camera no channel is made. The number of channels made.
int MakeDemoConfig(const std::vector<DemoCamera>& cameras,
                   const std::vector<std::string>& microphones);
