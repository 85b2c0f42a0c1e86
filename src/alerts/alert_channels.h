#pragma once
// What the alert threads need of a channel: whether its motion alarm lasts
// and a snapshot request. The real view reads g_pAVChannel; tests install
// their own.

class IAlertChannels {
public:
    virtual ~IAlertChannels() = default;
    // channel is below g_nChannelCount when these are called.
    // False for a missing channel object: its alarm counts as over.
    virtual bool IsMotionAlarm(int channel) = 0;
    // Posts WM_CHANNEL_SNAPSHOT to the channel's message thread; nothing for a
    // missing channel object.
    virtual void RequestSnapshot(int channel) = 0;
};

// Null restores the view over g_pAVChannel.
void SetAlertChannels(IAlertChannels* channels);
IAlertChannels& AlertChannels();
