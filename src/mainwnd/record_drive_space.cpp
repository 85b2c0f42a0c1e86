#include "mainwnd/record_drive_space.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/drives/drives.h"
#include "platform/paths/native_path.h"

uint32_t GetFreeMegabytes(const std::string& storedPath) {
    uint64_t freeToCaller = 0;
    if (!GetDiskFreeSpaceExA(storedPath.c_str(), &freeToCaller, nullptr, nullptr)) {
        return 0;
    }
    return static_cast<uint32_t>(freeToCaller >> 20);
}

std::string FindRecordFolder(const uint8_t (&byRecordDrive)[24]) {
    for (int i = 0; i < 24; ++i) {
        if (!byRecordDrive[i]) {
            continue;
        }
        const char letter = static_cast<char>('C' + i);
        char root[8];
        std::snprintf(root, sizeof root, "%c:\\", letter);
        if (GetFreeMegabytes(root) <= RECORD_DRIVE_MIN_FREE_MB) {
            continue;
        }
        char folder[32];
        std::snprintf(folder, sizeof folder, "%c:\\OstVA_Rec", letter);
        const std::string native = ToNativePath(folder);
        struct stat st;
        if (!native.empty() && stat(native.c_str(), &st) != 0 && mkdir(native.c_str(), 0777) != 0) {
            // The folder stays chosen: opening a record file in it fails and
            // is reported where the file is opened.
            std::perror(native.c_str());
        }
        return folder;
    }
    return "";
}

bool RecordFolderIsShortOfSpace(const std::string& folder) {
    return !folder.empty() && GetFreeMegabytes(folder) < RECORD_DRIVE_KEEP_FREE_MB;
}
