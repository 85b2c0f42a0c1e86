#pragma once
// The live settings record and its settings file "Quorvalind.tmp" (the
// SystemBlock, the 16 ScheduleEntry records and the AlertBlock back to back,
// 6059 bytes, no header). The ini file holds the rest (channel_ini.h).
//
// The user-interface thread writes the record; other threads read it. Whole
// blocks and strings are copied under g_SettingsMutex (settings_lock.h);
// single flag bytes are read plainly.

#include "settings/settings_types.h"

extern Settings g_Settings;

constexpr int SETTINGS_PATH_SIZE = 320;
// The names of the two files in the current directory.
constexpr const char* SETTINGS_FILE_NAME = "Quorvalind.tmp";
constexpr const char* INI_FILE_NAME = "Quorvalind.ini";
extern char g_szSettingsFile[SETTINGS_PATH_SIZE];  // "<current directory>\Quorvalind.tmp"
extern char g_szIniFile[SETTINGS_PATH_SIZE];       // "<current directory>\Quorvalind.ini"

// Builds both paths from the current directory. 0 when the directory cannot
// be read or needs 300 characters or more.
int InitSettingsPaths();

// Sets the three file blocks to their defaults, then reads the file over
// them: a short file overwrites only the bytes it holds, bytes past 6059 are
// ignored. Loaded strings are zero-terminated and values outside what the
// setup dialogs allow are brought into range. 1 when the file was read, 0
// when it could not be opened (the defaults stay).
int LoadSettingsFile();

// The defaults of the three file blocks, as LoadSettingsFile sets them.
void SetDefaultSystemBlock(SystemBlock& block);
void SetDefaultAlertBlock(AlertBlock& block);

// Writes the three blocks to a temporary file and renames it over the
// settings file. 1 on success; 0 on any failure, with the old file kept.
int SaveSettingsFile();
