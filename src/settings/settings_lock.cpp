#include "settings/settings_lock.h"

std::recursive_mutex g_SettingsMutex;

std::string ReadSettingsText(const char* field, std::size_t size) {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    const void* zero = std::memchr(field, '\0', size);
    return std::string(
        field, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size);
}

void StoreSettingsText(char* field, std::size_t size, std::string_view text) {
    if (size == 0) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    std::size_t count = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(field, text.data(), count);
    std::memset(field + count, 0, size - count);
}

UserAccount ReadUserAccount(int index) {
    UserAccount account;
    if (index < 0 || index >= MAX_USERS) {
        return account;
    }
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    const SystemBlock& system = g_Settings.System;
    account.name = ReadSettingsText(system.sUserName[index]);
    account.password = ReadSettingsText(system.sUserPassword[index]);
    std::memcpy(account.channels, system.byUserChannel[index], MAX_CHANNELS);
    return account;
}
