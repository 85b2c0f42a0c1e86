#pragma once
// Conversion between the recorder's stored texts (GB2312 bytes, as settings,
// ini and log files hold them) and UTF-8 (the user-interface edge).
//
// Invalid input is replaced, never passed through and never read beyond its
// end: a byte that starts no valid GB2312 character becomes U+FFFD; a UTF-8
// character that GB2312 cannot hold, or a malformed UTF-8 sequence, becomes
// '?'. Reading accepts the GBK superset that Chinese Windows writes for
// "GB2312"; writing produces GB2312 only.

#include <cstddef>
#include <string>
#include <string_view>

std::string Gb2312ToUtf8(std::string_view gb2312);
std::string Utf8ToGb2312(std::string_view utf8);

// The text of a zero-padded character array: up to its first zero byte, or
// all size bytes when it holds none.
std::string_view FixedFieldText(const char* field, size_t size);
template <size_t N>
std::string_view FixedFieldText(const char (&field)[N]) {
    return FixedFieldText(field, N);
}
