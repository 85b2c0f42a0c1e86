#pragma once
// The settings mutex: a dialog's Save copies whole blocks into g_Settings
// while worker threads read them. Copies of blocks and strings go through
// these helpers (or hold the mutex themselves); one-byte flags are read
// plainly. The mutex is recursive so a holder may call the helpers.
//
// Lock order: the settings mutex is taken last and held only for a copy, so
// it may be taken under any other lock and no other lock is taken under it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include "settings/settings.h"

extern std::recursive_mutex g_SettingsMutex;

// A copy of a block or entry of g_Settings (e.g. ReadSettings(g_Settings.Alert)).
template <typename T>
T ReadSettings(const T& live) {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    return live;
}

// Copies a working copy over a block or entry of g_Settings.
template <typename T>
void StoreSettings(T& live, const T& value) {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    live = value;
}

// The text of a zero-padded field of g_Settings, never beyond the field.
std::string ReadSettingsText(const char* field, std::size_t size);
template <std::size_t N>
std::string ReadSettingsText(const char (&field)[N]) {
    return ReadSettingsText(field, N);
}

// Sets a field of g_Settings: at most N - 1 bytes, the rest zeros.
void StoreSettingsText(char* field, std::size_t size, std::string_view text);
template <std::size_t N>
void StoreSettingsText(char (&field)[N], std::string_view text) {
    StoreSettingsText(field, N, text);
}

// Viewer account i (0..23) of the system block, copied under the mutex.
struct UserAccount {
    std::string name;  // empty = free account
    std::string password;
    std::uint8_t channels[MAX_CHANNELS] = {};  // 1 = may open that channel
};
UserAccount ReadUserAccount(int index);
