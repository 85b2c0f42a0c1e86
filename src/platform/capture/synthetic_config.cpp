#include "platform/capture/synthetic_config.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "platform/capture/connector_types.h"
#include "platform/capture/interfaces.h"
#include "platform/paths/native_path.h"

namespace {

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) {
        ++b;
    }
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) {
        --e;
    }
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep)) {
        part = Trim(part);
        if (!part.empty()) {
            out.push_back(part);
        }
    }
    return out;
}

bool ToInt(const std::string& s, long long* value) {
    if (s.empty()) {
        return false;
    }
    char* end = nullptr;
    *value = std::strtoll(s.c_str(), &end, 10);
    return end != nullptr && *end == '\0';
}

bool ParseFailures(const std::string& value, uint32_t* out, std::string* error) {
    static const std::map<std::string, uint32_t> table{
        {"bag", kFailBag},         {"bind", kFailBind}, {"streamconfig", kFailStreamConfig},
        {"connect", kFailConnect}, {"run", kFailRun},   {"setformat", kFailSetFormat},
        {"buffers", kFailBuffers}};
    *out = 0;
    for (const std::string& name : Split(value, ',')) {
        auto it = table.find(Lower(name));
        if (it == table.end()) {
            *error = "unknown failure '" + name + "'";
            return false;
        }
        *out |= it->second;
    }
    return true;
}

bool ParseSubtype(const std::string& s, Subtype* out) {
    static const std::map<std::string, Subtype> kNames{
        {"i420", Subtype::I420}, {"yv12", Subtype::YV12},   {"yuy2", Subtype::YUY2},
        {"mjpg", Subtype::MJPG}, {"rgb24", Subtype::RGB24}, {"pcm", Subtype::PCM}};
    auto it = kNames.find(Lower(s));
    if (it == kNames.end()) {
        return false;
    }
    *out = it->second;
    return true;
}

// "I420 352x288 @333333 [videoinfo2] [short] [audio]"
bool ParseVideoCap(const std::string& text, SyntheticVideoCap* cap, std::string* error) {
    std::istringstream in(text);
    std::string word;
    std::vector<std::string> words;
    while (in >> word) {
        words.push_back(word);
    }
    if (words.size() < 2 || !ParseSubtype(words[0], &cap->subtype)) {
        *error = "bad capability '" + text + "'";
        return false;
    }
    const auto x = Lower(words[1]).find('x');
    long long w = 0;
    long long h = 0;
    if (x == std::string::npos || !ToInt(words[1].substr(0, x), &w) ||
        !ToInt(words[1].substr(x + 1), &h)) {
        *error = "bad size in '" + text + "'";
        return false;
    }
    cap->width = static_cast<int32_t>(w);
    cap->height = static_cast<int32_t>(h);
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string wd = Lower(words[i]);
        long long v = 0;
        if (wd[0] == '@' && ToInt(wd.substr(1), &v)) {
            cap->minFrameInterval = v;
        } else if (wd == "videoinfo2") {
            cap->formatType = FormatType::VideoInfo2;
        } else if (wd == "short") {
            cap->cbFormat = 40;
        } else if (wd == "audio") {
            cap->major = MajorType::Audio;
        } else {
            *error = "bad word '" + words[i] + "' in capability '" + text + "'";
            return false;
        }
    }
    return true;
}

// "22050/1/16 [short] [notpcm]"
bool ParseAudioFormat(const std::string& text, SyntheticAudioFormat* fmt, std::string* error) {
    std::istringstream in(text);
    std::string head;
    in >> head;
    const auto parts = Split(head, '/');
    long long rate = 0;
    long long ch = 0;
    long long bits = 0;
    if (parts.size() != 3 || !ToInt(parts[0], &rate) || !ToInt(parts[1], &ch) ||
        !ToInt(parts[2], &bits)) {
        *error = "bad audio format '" + text + "'";
        return false;
    }
    fmt->samplesPerSec = static_cast<uint32_t>(rate);
    fmt->channels = static_cast<uint16_t>(ch);
    fmt->bitsPerSample = static_cast<uint16_t>(bits);
    std::string word;
    while (in >> word) {
        word = Lower(word);
        if (word == "short") {
            fmt->cbFormat = 14;
        } else if (word == "notpcm") {
            fmt->subtype = Subtype::Other;
        } else {
            *error = "bad word '" + word + "' in audio format '" + text + "'";
            return false;
        }
    }
    return true;
}

int32_t ConnectorType(const std::string& name) {
    if (const ConnectorTypeInfo* connector = FindConnectorWord(name)) {
        return connector->type;
    }
    long long v = 0;
    return ToInt(name, &v) ? static_cast<int32_t>(v) : -1;
}

// "Tuner, Xbar1, SVideo+AudioLine"
bool ParseCrossbar(const std::string& text, SyntheticCrossbar* xbar, std::string* error) {
    for (const std::string& item : Split(text, ',')) {
        SyntheticCrossbarInput input;
        std::string video = item;
        const auto plus = item.find('+');
        if (plus != std::string::npos) {
            video = Trim(item.substr(0, plus));
            input.withAudio = true;
            input.audioType = ConnectorType(Trim(item.substr(plus + 1)));
        }
        long long up = 0;
        if (Lower(video).rfind("xbar", 0) == 0 && ToInt(video.substr(4), &up)) {
            input.upstreamCrossbar = static_cast<int>(up);
            input.physicalType = PhysConn_Video_VideoDecoder;  // the upstream crossbar's output
        } else {
            input.physicalType = ConnectorType(video);
        }
        if (input.physicalType < 0 || (input.withAudio && input.audioType < 0)) {
            *error = "bad crossbar input '" + item + "'";
            return false;
        }
        xbar->inputs.push_back(input);
    }
    return true;
}

bool ParseRange(const std::string& text, SyntheticProcAmpRange* range, std::string* error) {
    const auto parts = Split(text, ',');
    long long v[4] = {};
    if (parts.size() != 4) {
        *error = "bad range '" + text + "'";
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (!ToInt(parts[i], &v[i])) {
            *error = "bad range '" + text + "'";
            return false;
        }
    }
    range->present = true;
    range->min = static_cast<int32_t>(v[0]);
    range->max = static_cast<int32_t>(v[1]);
    range->step = static_cast<int32_t>(v[2]);
    range->def = static_cast<int32_t>(v[3]);
    return true;
}

bool ParsePacing(const std::string& value, bool* realtime, std::string* error) {
    const std::string v = Lower(value);
    if (v == "realtime") {
        *realtime = true;
    } else if (v == "manual") {
        *realtime = false;
    } else {
        *error = "bad pacing '" + value + "'";
        return false;
    }
    return true;
}

// Parses a comma list of items, each with parse, onto the end of items.
template <typename Item>
bool ParseList(const std::string& value, std::vector<Item>* items,
               bool (*parse)(const std::string&, Item*, std::string*), std::string* error) {
    for (const std::string& text : Split(value, ',')) {
        Item item;
        if (!parse(text, &item, error)) {
            return false;
        }
        items->push_back(item);
    }
    return true;
}

// The keys a video and an audio device take alike. Applies key and returns
// whether it parsed; nullopt when key is none of them.
template <typename Device>
std::optional<bool> ApplySharedKey(const std::string& key, const std::string& value, Device* dev,
                                   std::string* error) {
    long long n = 0;
    if (key == "description") {
        dev->description = value;
    } else if (key == "friendlyname") {
        dev->friendlyName = value;
    } else if (key == "fail") {
        return ParseFailures(value, &dev->failures, error);
    } else if (key == "capsrecordsize" && ToInt(value, &n)) {
        dev->capsRecordSize = static_cast<int>(n);
    } else if (key == "pacing") {
        return ParsePacing(value, &dev->realtime, error);
    } else {
        return std::nullopt;
    }
    return true;
}

bool ApplyVideoKey(const std::string& key, const std::string& value, SyntheticVideoDevice* dev,
                   std::string* error) {
    if (const std::optional<bool> shared = ApplySharedKey(key, value, dev, error)) {
        return *shared;
    }
    long long n = 0;
    if (key == "caps") {
        return ParseList(value, &dev->caps, &ParseVideoCap, error);
    } else if (key == "default" && ToInt(value, &n)) {
        dev->defaultCap = static_cast<int>(n);
    } else if (key == "analoginput" && ToInt(value, &n)) {
        dev->analogInput = n != 0;
    } else if (key.rfind("crossbar", 0) == 0 && ToInt(key.substr(8), &n) && n >= 0 && n < 16) {
        if (dev->crossbars.size() <= static_cast<size_t>(n)) {
            dev->crossbars.resize(static_cast<size_t>(n) + 1);
        }
        dev->analogInput = true;
        return ParseCrossbar(value, &dev->crossbars[static_cast<size_t>(n)], error);
    } else if (key == "brightness") {
        return ParseRange(value, &dev->procAmp[0], error);
    } else if (key == "contrast") {
        return ParseRange(value, &dev->procAmp[1], error);
    } else if (key == "hue") {
        return ParseRange(value, &dev->procAmp[2], error);
    } else if (key == "saturation") {
        return ParseRange(value, &dev->procAmp[3], error);
    } else if (key == "still" && ToInt(value, &n)) {
        dev->still = n != 0;
    } else {
        *error = "bad video key '" + key + "'";
        return false;
    }
    return true;
}

bool ApplyAudioKey(const std::string& key, const std::string& value, SyntheticAudioDevice* dev,
                   std::string* error) {
    if (const std::optional<bool> shared = ApplySharedKey(key, value, dev, error)) {
        return *shared;
    }
    long long n = 0;
    if (key == "formats") {
        return ParseList(value, &dev->formats, &ParseAudioFormat, error);
    } else if (key == "default" && ToInt(value, &n)) {
        dev->defaultFormat = static_cast<int>(n);
    } else {
        *error = "bad audio key '" + key + "'";
        return false;
    }
    return true;
}

}  // namespace

bool ParseSyntheticConfig(const std::string& text, SyntheticConfig* config, std::string* error) {
    *config = SyntheticConfig{};
    enum class Section { None, Video, Audio } section = Section::None;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::string local;
    std::string* err = error != nullptr ? error : &local;
    while (std::getline(in, line)) {
        ++lineNo;
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
            if (name.rfind("video", 0) == 0) {
                section = Section::Video;
                config->video.emplace_back();
            } else if (name.rfind("audio", 0) == 0) {
                section = Section::Audio;
                config->audio.emplace_back();
            } else {
                *err = "line " + std::to_string(lineNo) + ": unknown section " + line;
                return false;
            }
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos || section == Section::None) {
            *err = "line " + std::to_string(lineNo) + ": expected key=value in a section";
            return false;
        }
        const std::string key = Lower(Trim(line.substr(0, eq)));
        const std::string value = Trim(line.substr(eq + 1));
        bool ok = true;
        if (section == Section::Video) {
            ok = ApplyVideoKey(key, value, &config->video.back(), err);
        } else {
            ok = ApplyAudioKey(key, value, &config->audio.back(), err);
        }
        if (!ok) {
            *err = "line " + std::to_string(lineNo) + ": " + *err;
            return false;
        }
    }
    // Crossbar chains must point at crossbars that exist further upstream.
    for (size_t v = 0; v < config->video.size(); ++v) {
        const auto& xbars = config->video[v].crossbars;
        for (size_t x = 0; x < xbars.size(); ++x) {
            for (const SyntheticCrossbarInput& in : xbars[x].inputs) {
                if (in.upstreamCrossbar != -1 &&
                    (in.upstreamCrossbar <= static_cast<int>(x) ||
                     in.upstreamCrossbar >= static_cast<int>(xbars.size()))) {
                    *err = "video device " + std::to_string(v + 1) + ": crossbar " +
                           std::to_string(x) + " is fed by missing crossbar " +
                           std::to_string(in.upstreamCrossbar);
                    return false;
                }
            }
        }
    }
    return true;
}

bool LoadSyntheticConfig(const std::string& path, SyntheticConfig* config, std::string* error) {
    std::ifstream file(ToNativePath(path), std::ios::binary);
    if (!file) {
        if (error != nullptr) {
            *error = "cannot open " + path;
        }
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseSyntheticConfig(text.str(), config, error);
}
