#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/paths/atomic_file.h"
#include "platform/paths/native_path.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

Settings g_Settings;
char g_szSettingsFile[SETTINGS_PATH_SIZE];
char g_szIniFile[SETTINGS_PATH_SIZE];

namespace {

constexpr std::size_t kDirectoryBufferSize = 300;

// The three blocks as they lie in the file.
struct SettingsImage {
    SystemBlock system;
    ScheduleEntry schedule[MAX_CHANNELS];
    AlertBlock alert;
};
static_assert(sizeof(SettingsImage) == SETTINGS_FILE_SIZE);

template <std::size_t N>
void Terminate(char (&text)[N]) {
    text[N - 1] = '\0';
}

template <typename T>
void AtMost(T& value, T limit) {
    if (value > limit) {
        value = limit;
    }
}

// A damaged or hand-made file must not leave strings without their zero or
// values that later steps cannot handle (an attachment count above 10 makes
// a mail job that never completes).
void RepairLoadedImage(SettingsImage& image) {
    SystemBlock& system = image.system;
    Terminate(system.sSnapshotPath);
    for (int i = 0; i < MAX_USERS; ++i) {
        Terminate(system.sUserName[i]);
        Terminate(system.sUserPassword[i]);
    }
    AtMost<std::uint8_t>(system.bySnapshotQuality, 7);

    for (ScheduleEntry& entry : image.schedule) {
        AtMost<std::uint8_t>(entry.byMotionSmart, 30);
        std::uint16_t recordTime = entry.nMotionRecordTime;
        AtMost<std::uint16_t>(recordTime, 900);
        entry.nMotionRecordTime = recordTime;
    }

    AlertBlock& alert = image.alert;
    Terminate(alert.sSmtpServer);
    Terminate(alert.sSmtpUser);
    Terminate(alert.sSmtpPassword);
    Terminate(alert.sMailFrom);
    Terminate(alert.sMailTo);
    Terminate(alert.sMailSubject);
    Terminate(alert.sMailMessage);
    Terminate(alert.sFtpServer);
    Terminate(alert.sFtpUser);
    Terminate(alert.sFtpPassword);
    Terminate(alert.sFtpDirectory);
    Terminate(alert.sFtpProxy);
    AtMost<std::uint8_t>(alert.byAttachImageNum, 10);
    AtMost<std::uint8_t>(alert.byFtpGap, 30);
    if (alert.byFtpGap < 1) {
        alert.byFtpGap = 1;
    }
}

}  // namespace

void SetDefaultSystemBlock(SystemBlock& block) {
    std::memset(&block, 0, sizeof block);
    std::strcpy(block.sSnapshotPath, "C:");
    block.bOverlay = 1;
    block.bYuy2 = 1;
}

void SetDefaultAlertBlock(AlertBlock& block) {
    std::memset(&block, 0, sizeof block);
    block.byFtpGap = 1;
    block.nSmtpPort = 25;
    block.nFtpPort = 21;
}

int InitSettingsPaths() {
    char directory[kDirectoryBufferSize] = {};
    // getcwd fails with ERANGE when the directory and its zero do not fit.
    if (getcwd(directory, sizeof directory) == nullptr) {
        return 0;
    }
    std::snprintf(g_szIniFile, sizeof g_szIniFile, "%s\\%s", directory, INI_FILE_NAME);
    std::snprintf(g_szSettingsFile, sizeof g_szSettingsFile, "%s\\%s", directory,
                  SETTINGS_FILE_NAME);
    return 1;
}

int LoadSettingsFile() {
    SettingsImage image;
    SetDefaultSystemBlock(image.system);
    std::memset(image.schedule, 0, sizeof image.schedule);
    SetDefaultAlertBlock(image.alert);

    int result = 0;
    std::string path = ToNativePath(g_szSettingsFile);
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (file != nullptr) {
        unsigned char bytes[SETTINGS_FILE_SIZE];
        std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
        if (std::ferror(file) != 0) {
            std::fprintf(stderr, "settings file %s: read error after %zu bytes\n", path.c_str(),
                         got);
        }
        std::fclose(file);
        std::memcpy(&image, bytes, got);  // a short file overwrites only what it holds
        RepairLoadedImage(image);
        result = 1;
    }

    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    g_Settings.System = image.system;
    std::memcpy(g_Settings.Schedule, image.schedule, sizeof image.schedule);
    g_Settings.Alert = image.alert;
    return result;
}

int SaveSettingsFile() {
    SettingsImage image;
    {
        std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
        image.system = g_Settings.System;
        std::memcpy(image.schedule, g_Settings.Schedule, sizeof image.schedule);
        image.alert = g_Settings.Alert;
    }
    std::string path = ToNativePath(g_szSettingsFile);
    if (path.empty()) {
        return 0;
    }
    std::string_view bytes(reinterpret_cast<const char*>(&image), sizeof image);
    return ReplaceFileContents(path, bytes, true) ? 1 : 0;
}
