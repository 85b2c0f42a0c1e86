#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <fstream>
#include <mutex>

#include "platform/drives/drives.h"

#include "platform/textcodec/gb2312_codec.h"

namespace {

struct FileStamp {
    std::string cwd;
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;

    bool operator==(const FileStamp&) const = default;
};

std::mutex g_mapMutex;
std::optional<DriveMap> g_override;
std::optional<FileStamp> g_cachedStamp;
DriveMap g_cachedFileMap;

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr) {
        return "";
    }
    return buffer;
}

std::string Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    return std::string(text.substr(begin, end - begin));
}

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

DriveMap ParseDriveFile(const std::string& path) {
    DriveMap drives;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::string text = Trim(line);
        if (text.empty() || text[0] == '#' || text[0] == ';') {
            continue;
        }
        size_t equals = text.find('=');
        std::string letterText = Trim(std::string_view(text).substr(0, equals));
        std::string folder =
            equals == std::string::npos ? "" : Trim(std::string_view(text).substr(equals + 1));
        char letter =
            letterText.size() == 1
                ? static_cast<char>(std::toupper(static_cast<unsigned char>(letterText[0])))
                : 0;
        if (letter < 'D' || letter > 'Z' || folder.empty() || folder[0] != '/') {
            std::fprintf(stderr, "%s:%d: ignored, expected a line like D=/folder\n",
                         kDriveMapFileName, lineNumber);
            continue;
        }
        drives[letter] = WithoutTrailingSlashes(folder);
    }
    return drives;
}

FileStamp StampOf(const std::string& cwd) {
    FileStamp stamp;
    stamp.cwd = cwd;
    struct stat st {};
    if (stat(kDriveMapFileName, &st) == 0) {
        stamp.exists = true;
        stamp.dev = st.st_dev;
        stamp.ino = st.st_ino;
        stamp.size = st.st_size;
        stamp.mtimeNs =
            static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    }
    return stamp;
}

// The D: to Z: entries; the file is parsed again only when it changed.
DriveMap ExtraDrives(const std::string& cwd) {
    std::lock_guard<std::mutex> lock(g_mapMutex);
    if (g_override) {
        return *g_override;
    }
    FileStamp stamp = StampOf(cwd);
    if (!g_cachedStamp || !(*g_cachedStamp == stamp)) {
        g_cachedFileMap = stamp.exists ? ParseDriveFile(kDriveMapFileName) : DriveMap{};
        g_cachedStamp = stamp;
    }
    return g_cachedFileMap;
}

bool HasDriveLetter(std::string_view path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

}  // namespace

DriveMap GetDriveMap() {
    std::string cwd = CurrentDirectory();
    DriveMap drives = ExtraDrives(cwd);
    drives.erase('C');
    if (!cwd.empty()) {
        drives['C'] = cwd;
    }
    return drives;
}

std::string GetDriveFolder(char letter) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (upper == 'C') {
        return CurrentDirectory();
    }
    if (upper < 'D' || upper > 'Z') {
        return "";
    }
    DriveMap drives = ExtraDrives(CurrentDirectory());
    auto it = drives.find(upper);
    return it == drives.end() ? "" : it->second;
}

std::string ResolveDrivePath(std::string_view storedPath) {
    std::string base;
    std::string rest(storedPath);
    if (HasDriveLetter(storedPath)) {
        base = GetDriveFolder(storedPath[0]);
        if (base.empty()) {
            return "";
        }
        // What follows the letter came from the settings, in their code
        // page; the file system names files in UTF-8.
        rest = Gb2312ToUtf8(rest.substr(2));
    }
    for (char& c : rest) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (base.empty() || rest.empty()) {
        return base.empty() ? rest : base;
    }
    if (base.back() == '/') {
        base.pop_back();  // the root folder: "/" + "/a" must not become "//a"
    }
    if (rest[0] != '/') {
        base += '/';
    }
    return base + rest;
}

std::string ToDrivePath(std::string_view nativePath) {
    std::string path = WithoutTrailingSlashes(std::string(nativePath));
    if (path.empty() || path[0] != '/') {
        return "";
    }
    char best = 0;
    size_t bestLength = 0;
    std::string rest;
    for (const auto& [letter, folder] : GetDriveMap()) {
        const bool root = folder == "/";
        const bool holds = root || path == folder ||
                           (path.compare(0, folder.size(), folder) == 0 &&
                            path.size() > folder.size() && path[folder.size()] == '/');
        // The map is in letter order, so C: keeps a tie.
        if (holds && (best == 0 || folder.size() > bestLength)) {
            best = letter;
            bestLength = folder.size();
            rest = root ? path.substr(1) : path.substr(std::min(path.size(), folder.size() + 1));
        }
    }
    if (best == 0) {
        return "";
    }
    std::string stored = std::string(1, best) + ":\\" + rest;
    for (char& c : stored) {
        if (c == '/') {
            c = '\\';
        }
    }
    return stored;
}

void SetDriveMapOverride(std::optional<DriveMap> drives) {
    std::lock_guard<std::mutex> lock(g_mapMutex);
    if (drives) {
        DriveMap cleaned;
        for (auto& [letter, folder] : *drives) {
            char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
            if (upper >= 'D' && upper <= 'Z' && !folder.empty()) {
                cleaned[upper] = WithoutTrailingSlashes(folder);
            }
        }
        g_override = std::move(cleaned);
    } else {
        g_override.reset();
    }
}
