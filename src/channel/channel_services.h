#pragma once
// What a channel reaches outside itself: the main dialog (event log, record
// and snapshot folders), the capture layer's picture controls and the alert
// threads. Each is a small interface installed once for the whole process;
// the main window installs the real ones, tests install recorders. With
// nothing installed a channel logs nowhere, has no folders (so it neither
// records nor writes snapshots), reads picture controls as 0 and raises no
// alerts; the live sound output takes nothing.
//
// The installed objects must outlive every channel that may call them. A
// channel never calls them while it holds its own mutex, so they may take
// their own locks (and ask channels for state) freely. The main dialog's
// host is called from the channel threads and DrawVideo; the alert sink
// from DrawVideo (RaiseMotionAlert) and the channel threads
// (AddAlertSnapshot); the picture controls from StartLocal's caller.

#include <cstdint>
#include <string>

// The main dialog as the channels see it.
class IChannelHost {
public:
    virtual ~IChannelHost() = default;
    // type LOGTYPE_*, channel byte 1..16 or 0.
    virtual void WriteLogEntry(int type, int channel, const char* text) = 0;
    // The current record folder ("D:\OstVA_Rec"); empty = no drive with room.
    virtual std::string GetRecordFolder() = 0;
    // The snapshot folder ("C:"); empty = no snapshots.
    virtual std::string GetSnapshotFolder() = 0;
};

// The capture layer's picture controls of a video device. Both return the
// packed values (brightness | contrast << 8 | saturation << 16 | hue << 24)
// the device holds afterwards, 0 on any failure.
class IPictureControls {
public:
    virtual ~IPictureControls() = default;
    virtual uint32_t GetVideoProcAmp(uint8_t device) = 0;
    virtual uint32_t SetVideoProcAmp(uint8_t device, uint32_t packed) = 0;
};

// The alert threads' entry points.
class IAlertSink {
public:
    virtual ~IAlertSink() = default;
    // A motion alarm of the channel (0..15) just started.
    virtual void RaiseMotionAlert(int channel) = 0;
    // A snapshot of the channel was written to path (stored form).
    virtual void AddAlertSnapshot(int channel, const char* path) = 0;
};

// The motion setup dialog's preview: every displayed picture of the channel
// it registered with (CAVChannel::SetPreviewSink), on the DrawVideo thread.
class IPreviewSink {
public:
    virtual ~IPreviewSink() = default;
    virtual void OnPreviewFrame(const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride,
                                int uvStride, int width, int height) = 0;
};

// The live sound output: the selected channel's sound while not muted.
class ILiveSound {
public:
    virtual ~ILiveSound() = default;
    virtual void WritePcm(const uint8_t* data, int bytes) = 0;
};

// Installers; null restores the built-in "nothing there" behaviour.
void SetChannelHost(IChannelHost* host);
void SetPictureControls(IPictureControls* controls);
void SetAlertSink(IAlertSink* sink);
void SetLiveSound(ILiveSound* sound);

// What the channels call; never null.
IChannelHost& ChannelHost();
IPictureControls& PictureControls();
IAlertSink& AlertSink();
ILiveSound& LiveSound();
