#include "platform/profile/private_profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/paths/atomic_file.h"
#include "platform/paths/native_path.h"
#include "platform/profile/profile_text.h"

namespace {

// One lock for every profile file: a write is a read-modify-write of the
// whole file and two threads must not lose each other's key.
std::mutex g_profileMutex;

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadWholeFile(const char* file, std::string& bytes) {
    std::string path = ToNativePath(file);
    if (path.empty()) {
        return ReadResult::kMissing;
    }
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
    }
    char buffer[8192];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        bytes.append(buffer, got);
    }
    bool failed = std::ferror(in) != 0;
    std::fclose(in);
    return failed ? ReadResult::kFailed : ReadResult::kRead;
}

std::optional<std::string> LookUp(const char* section, const char* key, const char* file) {
    if (section == nullptr || key == nullptr || file == nullptr) {
        return std::nullopt;
    }
    std::string bytes;
    {
        std::lock_guard<std::mutex> lock(g_profileMutex);
        if (ReadWholeFile(file, bytes) != ReadResult::kRead) {
            return std::nullopt;
        }
    }
    return ProfileText(bytes).Find(TrimProfileText(section), TrimProfileText(key));
}

bool BreaksALine(const char* text) {
    return std::strpbrk(text, "\r\n") != nullptr;
}

}  // namespace

unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                               const char* file) {
    std::optional<std::string> value = LookUp(section, key, file);
    if (!value || value->empty()) {
        return static_cast<unsigned>(defaultValue);
    }
    const std::string& text = *value;
    size_t i = 0;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t result = 0;  // wraps like the 32-bit conversion it stands for
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        result = result * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    return negative ? 0u - result : result;
}

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* out, unsigned outSize, const char* file) {
    if (out == nullptr || outSize == 0) {
        return 0;
    }
    std::optional<std::string> value = LookUp(section, key, file);
    std::string text = value ? *value : std::string(defaultValue ? defaultValue : "");
    size_t count = std::min<size_t>(text.size(), outSize - 1);
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
    return static_cast<unsigned>(count);
}

int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const char* file) {
    if (section == nullptr || key == nullptr || value == nullptr || file == nullptr) {
        return 0;
    }
    std::string_view keyName = TrimProfileText(key);
    if (keyName.empty() || BreaksALine(section) || BreaksALine(key) || BreaksALine(value) ||
        std::strchr(key, '=') != nullptr || std::strchr(section, ']') != nullptr) {
        std::fprintf(stderr, "profile: refused to write [%s] %s\n", section, key);
        return 0;
    }
    std::string path = ToNativePath(file);
    if (path.empty()) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(g_profileMutex);
    std::string bytes;
    if (ReadWholeFile(file, bytes) == ReadResult::kFailed) {
        return 0;  // rewriting what could not be read would lose it
    }
    ProfileText text(bytes);
    text.Set(TrimProfileText(section), keyName, value);
    return ReplaceFileContents(path, text.Serialize(), false) ? 1 : 0;
}
