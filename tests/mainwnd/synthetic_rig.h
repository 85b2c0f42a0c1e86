#pragma once
// Synthetic capture devices for the engine tests, behind plain functions:
// the capture stand-in's headers cannot meet the display stand-in's in one
// source file.

#include <cstdint>

// Installs video devices (352 x 288 and 176 x 144 I420, up to 25 pictures
// a second) and audio devices (22050 Hz mono), all pushed by hand.
void InstallSyntheticDevices(int videoCount, int audioCount);
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
// The last format the i-th video device took.
SetFormat LastVideoFormat(int video);
