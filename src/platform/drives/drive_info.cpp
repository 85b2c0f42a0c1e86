#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cctype>
#include <mutex>

#include "platform/drives/drives.h"

namespace {

std::mutex g_spaceMutex;
DiskSpaceSource g_spaceSource;

bool IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The letter of "X:..." text, upper case; 0 when the text names no drive.
char DriveLetterOf(const char* text) {
    if (text == nullptr || !std::isalpha(static_cast<unsigned char>(text[0])) || text[1] != ':') {
        return 0;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

}  // namespace

std::uint32_t GetLogicalDrives() {
    std::uint32_t mask = 0;
    for (const auto& [letter, folder] : GetDriveMap()) {
        if (letter == 'C' || IsFolder(folder)) {
            mask |= 1u << (letter - 'A');
        }
    }
    return mask;
}

unsigned GetDriveTypeA(const char* root) {
    char letter = DriveLetterOf(root);
    if (letter == 0) {
        return DRIVE_UNKNOWN;
    }
    return IsFolder(GetDriveFolder(letter)) ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

int GetDiskFreeSpaceExA(const char* path, std::uint64_t* freeToCaller, std::uint64_t* totalBytes,
                        std::uint64_t* totalFree) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    std::string folder = ResolveDrivePath(path);
    if (folder.empty()) {
        return 0;
    }
    DiskSpace space;
    DiskSpaceSource source;
    {
        std::lock_guard<std::mutex> lock(g_spaceMutex);
        source = g_spaceSource;
    }
    if (source) {
        if (!source(DriveLetterOf(path), folder, space)) {
            return 0;
        }
    } else {
        struct statvfs vfs {};
        if (statvfs(folder.c_str(), &vfs) != 0) {
            return 0;
        }
        std::uint64_t unit = vfs.f_frsize != 0 ? vfs.f_frsize : vfs.f_bsize;
        space.freeToCaller = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
        space.totalBytes = static_cast<std::uint64_t>(vfs.f_blocks) * unit;
        space.totalFree = static_cast<std::uint64_t>(vfs.f_bfree) * unit;
    }
    if (freeToCaller != nullptr) {
        *freeToCaller = space.freeToCaller;
    }
    if (totalBytes != nullptr) {
        *totalBytes = space.totalBytes;
    }
    if (totalFree != nullptr) {
        *totalFree = space.totalFree;
    }
    return 1;
}

void SetDiskSpaceSource(DiskSpaceSource source) {
    std::lock_guard<std::mutex> lock(g_spaceMutex);
    g_spaceSource = std::move(source);
}
