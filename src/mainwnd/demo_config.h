#pragma once
// The first configuration a new user gets: four local channels on the
// cameras found, taking turns when there are fewer (a camera feeds every
// channel that names it), the first channel with the first microphone's
// sound, all recording all day; C: as the record drive and one viewer
// account "viewer" / "viewer" for every channel.

#include <vector>

// Fills g_Settings; cameras are 1-based places among the capture devices.
// Without a camera no channel is made. The number of channels made.
int MakeDemoConfig(const std::vector<int>& cameras, int microphones);
