#pragma once
// UTF-8 and UTF-16 for device names, which arrive from devices as UTF-8 and
// leave property bags as UTF-16.

#include <string>

std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
