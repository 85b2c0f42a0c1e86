#include "channel/channel_services.h"

#include <atomic>

namespace {

class NullChannelHost final : public IChannelHost {
public:
    void WriteLogEntry(int, int, const char*) override {}
    std::string GetRecordFolder() override { return {}; }
    std::string GetSnapshotFolder() override { return {}; }
};

class NullPictureControls final : public IPictureControls {
public:
    uint32_t GetVideoProcAmp(uint8_t) override { return 0; }
    uint32_t SetVideoProcAmp(uint8_t, uint32_t) override { return 0; }
};

class NullAlertSink final : public IAlertSink {
public:
    void RaiseMotionAlert(int) override {}
    void AddAlertSnapshot(int, const char*) override {}
};

class NullLiveSound final : public ILiveSound {
public:
    void WritePcm(const uint8_t*, int) override {}
};

NullChannelHost g_nullHost;
NullPictureControls g_nullControls;
NullAlertSink g_nullAlerts;
NullLiveSound g_nullSound;

std::atomic<IChannelHost*> g_host{nullptr};
std::atomic<IPictureControls*> g_controls{nullptr};
std::atomic<IAlertSink*> g_alerts{nullptr};
std::atomic<ILiveSound*> g_sound{nullptr};

}  // namespace

void SetChannelHost(IChannelHost* host) {
    g_host.store(host);
}

void SetPictureControls(IPictureControls* controls) {
    g_controls.store(controls);
}

void SetAlertSink(IAlertSink* sink) {
    g_alerts.store(sink);
}

IChannelHost& ChannelHost() {
    IChannelHost* host = g_host.load();
    return host != nullptr ? *host : g_nullHost;
}

IPictureControls& PictureControls() {
    IPictureControls* controls = g_controls.load();
    return controls != nullptr ? *controls : g_nullControls;
}

IAlertSink& AlertSink() {
    IAlertSink* sink = g_alerts.load();
    return sink != nullptr ? *sink : g_nullAlerts;
}

void SetLiveSound(ILiveSound* sound) {
    g_sound.store(sound);
}

ILiveSound& LiveSound() {
    ILiveSound* sound = g_sound.load();
    return sound != nullptr ? *sound : g_nullSound;
}
