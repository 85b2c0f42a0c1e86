#include "mainwnd/live_sound_start.h"

#include "mainwnd/audio_monitor.h"

void StartLiveSound() {
    StartAudioMonitor();
}

void StopLiveSound() {
    StopAudioMonitor();
}
