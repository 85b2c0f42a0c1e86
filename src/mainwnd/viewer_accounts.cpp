#include "mainwnd/viewer_accounts.h"

#include <cstring>
#include <string_view>

#include "settings/globals.h"
#include "settings/settings_lock.h"

namespace {

// One consistent copy of the account table: a login that falls into a
// system dialog's Save sees the old table or the new one, never a mix.
struct AccountTable {
    char names[MAX_USER_ACCOUNTS][18];
    char passwords[MAX_USER_ACCOUNTS][18];
    uint8_t rights[MAX_USER_ACCOUNTS][MAX_CHANNELS];
};

AccountTable CopyAccountTable() {
    AccountTable table;
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    std::memcpy(table.names, g_Settings.System.sUserName, sizeof table.names);
    std::memcpy(table.passwords, g_Settings.System.sUserPassword, sizeof table.passwords);
    std::memcpy(table.rights, g_Settings.System.byUserChannel, sizeof table.rights);
    return table;
}

// A stored name or password, never read past its 18 bytes.
std::string_view FieldText(const char (&field)[18]) {
    return std::string_view(field, strnlen(field, sizeof field));
}

// The length of a caller's text, looking no further than limit + 1 bytes.
size_t BoundedLength(const char* text, size_t limit) {
    return text ? strnlen(text, limit + 1) : 0;
}

bool ValidName(const char* user) {
    size_t n = BoundedLength(user, MAX_USER_NAME_LEN);
    return n >= 1 && n <= MAX_USER_NAME_LEN;
}

}  // namespace

int CheckUserPassword(const char* user, const char* password) {
    if (!ValidName(user) || password == nullptr ||
        BoundedLength(password, MAX_USER_NAME_LEN) > MAX_USER_NAME_LEN) {
        return 0;
    }
    const std::string_view name(user);
    const std::string_view pass(password);
    const AccountTable table = CopyAccountTable();
    for (int i = 0; i < MAX_USER_ACCOUNTS; ++i) {
        std::string_view stored = FieldText(table.names[i]);
        if (!stored.empty() && stored == name && FieldText(table.passwords[i]) == pass) {
            return 1;
        }
    }
    return 0;
}

int CheckUserChannelRight(const char* user, uint8_t channel) {
    if (!ValidName(user) || channel >= g_nChannelCount.load() || channel >= MAX_CHANNELS) {
        return 0;
    }
    const std::string_view name(user);
    const AccountTable table = CopyAccountTable();
    for (int i = 0; i < MAX_USER_ACCOUNTS; ++i) {
        std::string_view stored = FieldText(table.names[i]);
        if (!stored.empty() && stored == name && table.rights[i][channel] != 0) {
            return 1;
        }
    }
    return 0;
}
