#include "settings/channel_ini.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/profile/private_profile.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

namespace {

constexpr std::uint16_t kMaxWidth = 704;
constexpr std::uint16_t kMaxHeight = 576;

std::string SectionOf(int channel) {
    char section[24];
    std::snprintf(section, sizeof section, "Channel%02d", channel + 1);
    return section;
}

int ClampCount(int channelCount) {
    return channelCount < 0 ? 0 : channelCount > MAX_CHANNELS ? MAX_CHANNELS : channelCount;
}

class IniReader {
public:
    explicit IniReader(std::string section) : section_(std::move(section)) {}

    std::uint32_t Int(const char* key, int defaultValue) const {
        return GetPrivateProfileIntA(section_.c_str(), key, defaultValue, g_szIniFile);
    }

    // At most limit characters, zero-terminated, the rest of the field zeros.
    template <std::size_t N>
    void Text(const char* key, char (&field)[N], unsigned limit) const {
        static_assert(N >= 2);
        unsigned size = limit + 1 < N ? limit + 1 : static_cast<unsigned>(N);
        std::fill(field, field + N, '\0');
        GetPrivateProfileStringA(section_.c_str(), key, "", field, size, g_szIniFile);
        field[N - 1] = '\0';
    }

private:
    std::string section_;
};

class IniWriter {
public:
    explicit IniWriter(std::string section) : section_(std::move(section)) {}

    void Int(const char* key, std::int64_t value) {
        char text[24];
        std::snprintf(text, sizeof text, "%ld",
                      static_cast<long>(static_cast<std::int32_t>(value)));
        Write(key, text);
    }

    // A line break in a text would end its line and start a bogus one.
    template <std::size_t N>
    void Text(const char* key, const char (&field)[N]) {
        std::string text;
        for (std::size_t i = 0; i < N && field[i] != '\0'; ++i) {
            if (field[i] != '\r' && field[i] != '\n') {
                text += field[i];
            }
        }
        Write(key, text.c_str());
    }

    bool ok() const { return ok_; }

private:
    void Write(const char* key, const char* value) {
        if (WritePrivateProfileStringA(section_.c_str(), key, value, g_szIniFile) == 0) {
            ok_ = false;
        }
    }

    std::string section_;
    bool ok_ = true;
};

void ReadChannel(const IniReader& in, ChannelEntry& c) {
    c.status = static_cast<std::uint8_t>(in.Int("status", 0));
    c.mode = static_cast<std::uint8_t>(in.Int("mode", 0));
    c.videoin = static_cast<std::uint8_t>(in.Int("videoin", 0));
    in.Text("videoname", c.videoname, 117);
    c.width = static_cast<std::uint16_t>(in.Int("width", 0));
    c.height = static_cast<std::uint16_t>(in.Int("height", 0));
    c.framenum = static_cast<std::uint8_t>(in.Int("framenum", 0));
    c.videosubin = static_cast<std::uint8_t>(in.Int("videosubin", 0));
    c.audioin = static_cast<std::uint8_t>(in.Int("audioin", 0));
    in.Text("audioname", c.audioname, 117);
    in.Text("netipaddr", c.netipaddr, 59);
    c.netchno = static_cast<std::uint8_t>(in.Int("netchno", 0));
    in.Text("username", c.username, 29);
    in.Text("passwd", c.passwd, 29);
    // No later step may size a buffer from a picture larger than capture gives.
    if (c.width > kMaxWidth) {
        c.width = 0;
    }
    if (c.height > kMaxHeight) {
        c.height = 0;
    }
}

void ReadRecord(const IniReader& in, RecordEntry& r) {
    r.enc_method = static_cast<std::uint8_t>(in.Int("enc_method", 0));
    r.aud_method = static_cast<std::uint8_t>(in.Int("aud_method", 0));
    r.bitrate = static_cast<std::uint16_t>(in.Int("bitrate", 384));
    r.audbitrate = static_cast<std::uint16_t>(in.Int("audbitrate", 32));
    r.recfile = static_cast<std::uint8_t>(in.Int("recfile", 0));
    in.Text("chname", r.chname, 16);
    r.haveaudio = static_cast<std::uint8_t>(in.Int("haveaudio", 0));
    r.osddate = static_cast<std::uint8_t>(in.Int("osddate", 0));
    r.osdtime = static_cast<std::uint8_t>(in.Int("osdtime", 1));
    r.videocolor = in.Int("videocolor", 0);
}

}  // namespace

void LoadChannelIni() {
    std::uint8_t count = static_cast<std::uint8_t>(
        GetPrivateProfileIntA("ChannelNum", "nChConfigNum", 0, g_szIniFile));
    if (count > MAX_CHANNELS) {
        count = MAX_CHANNELS;
    }
    ChannelEntry channels[MAX_CHANNELS] = {};
    RecordEntry records[MAX_CHANNELS] = {};
    for (int n = 0; n < count; ++n) {
        IniReader in(SectionOf(n));
        ReadChannel(in, channels[n]);
        ReadRecord(in, records[n]);
    }
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    g_Settings.nChConfigNum = count;
    for (int n = 0; n < count; ++n) {
        g_Settings.Channel[n] = channels[n];
        g_Settings.Record[n] = records[n];
    }
}

int SaveChannelIni() {
    std::uint8_t configured;
    ChannelEntry entries[MAX_CHANNELS];
    {
        std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
        configured = g_Settings.nChConfigNum;
        for (int n = 0; n < MAX_CHANNELS; ++n) {
            entries[n] = g_Settings.Channel[n];
        }
    }
    IniWriter count("ChannelNum");
    count.Int("nChConfigNum", configured);
    bool ok = count.ok();
    int channels = ClampCount(configured);
    for (int n = 0; n < channels; ++n) {
        const ChannelEntry& c = entries[n];
        IniWriter out(SectionOf(n));
        out.Int("status", c.status);
        out.Int("mode", c.mode);
        out.Int("videoin", c.videoin);
        out.Text("videoname", c.videoname);
        out.Int("width", c.width);
        out.Int("height", c.height);
        out.Int("framenum", c.framenum);
        out.Int("videosubin", c.videosubin);
        out.Int("audioin", c.audioin);
        out.Text("audioname", c.audioname);
        out.Text("netipaddr", c.netipaddr);
        out.Int("netchno", c.netchno);
        out.Text("username", c.username);
        out.Text("passwd", c.passwd);
        ok = ok && out.ok();
    }
    return ok ? 1 : 0;
}

int SaveRecordIni(int channelCount) {
    int channels = ClampCount(channelCount);
    RecordEntry records[MAX_CHANNELS];
    {
        std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
        for (int n = 0; n < channels; ++n) {
            records[n] = g_Settings.Record[n];
        }
    }
    bool ok = true;
    for (int n = 0; n < channels; ++n) {
        const RecordEntry& r = records[n];
        IniWriter out(SectionOf(n));
        out.Int("enc_method", r.enc_method);
        out.Int("aud_method", r.aud_method);
        out.Int("bitrate", r.bitrate);
        out.Int("audbitrate", r.audbitrate);
        out.Int("recfile", r.recfile);
        out.Text("chname", r.chname);
        out.Int("haveaudio", r.haveaudio);
        out.Int("osddate", r.osddate);
        out.Int("osdtime", r.osdtime);
        ok = ok && out.ok();
    }
    return ok ? 1 : 0;
}

int SaveVideoColorIni(int channelCount) {
    int channels = ClampCount(channelCount);
    bool ok = true;
    for (int n = 0; n < channels; ++n) {
        std::uint32_t videocolor;
        {
            std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
            videocolor = g_Settings.Record[n].videocolor;
        }
        IniWriter out(SectionOf(n));
        out.Int("videocolor", videocolor);
        ok = ok && out.ok();
    }
    return ok ? 1 : 0;
}
