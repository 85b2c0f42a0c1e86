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

    template <typename T>
    void Int(const char* key, T& field, int defaultValue) const {
        field = static_cast<T>(Int(key, defaultValue));
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

    // The same calls as IniReader's: the default is only for reading.
    void Int(const char* key, std::int64_t value, int /*defaultValue*/) { Int(key, value); }

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

    template <std::size_t N>
    void Text(const char* key, const char (&field)[N], unsigned /*limit*/) {
        Text(key, field);
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

// The keys of a channel's section, read with an IniReader and written with
// an IniWriter, with their defaults and text limits.
template <typename Fields, typename Channel>
void ChannelFields(Fields& f, Channel& c) {
    f.Int("status", c.status, 0);
    f.Int("mode", c.mode, 0);
    f.Int("videoin", c.videoin, 0);
    f.Text("videoname", c.videoname, 117);
    f.Int("width", c.width, 0);
    f.Int("height", c.height, 0);
    f.Int("framenum", c.framenum, 0);
    f.Int("videosubin", c.videosubin, 0);
    f.Int("audioin", c.audioin, 0);
    f.Text("audioname", c.audioname, 117);
    f.Text("netipaddr", c.netipaddr, 59);
    f.Int("netchno", c.netchno, 0);
    f.Text("username", c.username, 29);
    f.Text("passwd", c.passwd, 29);
}

// The record keys but the picture controls, which are saved on their own.
template <typename Fields, typename Record>
void RecordFields(Fields& f, Record& r) {
    f.Int("enc_method", r.enc_method, 0);
    f.Int("aud_method", r.aud_method, 0);
    f.Int("bitrate", r.bitrate, 384);
    f.Int("audbitrate", r.audbitrate, 32);
    f.Int("recfile", r.recfile, 0);
    f.Text("chname", r.chname, 16);
    f.Int("haveaudio", r.haveaudio, 0);
    f.Int("osddate", r.osddate, 0);
    f.Int("osdtime", r.osdtime, 1);
}

void ReadChannel(const IniReader& in, ChannelEntry& c) {
    ChannelFields(in, c);
    // No later step may size a buffer from a picture larger than capture gives.
    if (c.width > kMaxWidth) {
        c.width = 0;
    }
    if (c.height > kMaxHeight) {
        c.height = 0;
    }
}

void ReadRecord(const IniReader& in, RecordEntry& r) {
    RecordFields(in, r);
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
        ChannelFields(out, c);
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
        RecordFields(out, r);
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
