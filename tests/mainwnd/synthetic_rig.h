#pragma once
// Synthetic capture devices for the engine tests, behind plain functions:
// the capture stand-in's headers cannot meet the display stand-in's in one
// source file.

#include <cstdint>
#include <string>

// Installs video devices (352 x 288 and 176 x 144 I420, up to 25 pictures
// a second) and audio devices (22050 Hz mono), all pushed by hand.
void InstallSyntheticDevices(int videoCount, int audioCount);
// Installs the devices an ini text describes (the keys of the synthetic
// devices file); false when the text is refused.
bool InstallSyntheticDevicesFrom(const std::string& iniText);
void RemoveSyntheticDevices();

// Delivers n pictures or sound buffers of the i-th video or audio device;
// how many reached a running sink.
int PushPictures(int video, int n);
int PushSound(int audio, int n);

struct SetFormat {
    int width = 0;
    int height = 0;
    int fps = 0;
    int count = 0;  // formats the device took
};
// The crossbar input feeding output 0 of crossbar x of the i-th video
// device.
int RoutedInput(int video, int crossbar);

// The last format the i-th video device took.
SetFormat LastVideoFormat(int video);
