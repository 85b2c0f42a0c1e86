#pragma once
// The two questions the login server asks about a viewer: do this name and
// password match one of the 24 accounts, and may this name open a channel.
// Both read the live system block.

#include <cstdint>

constexpr int MAX_USER_NAME_LEN = 16;
constexpr int MAX_USER_ACCOUNTS = 24;

// 1 when a used account has exactly this name and exactly this password.
int CheckUserPassword(const char* user, const char* password);

// 1 when a used account has exactly this name and the right for the
// channel, and the channel is below g_nChannelCount.
int CheckUserChannelRight(const char* user, uint8_t channel);
