#pragma once
// Header texts of an outgoing alert mail. Texts are GB2312 bytes, as the
// settings hold them.

#include <string>
#include <string_view>

#include "platform/clock/local_clock.h"

// Base64 of bytes (RFC 2045 alphabet, with padding, no line breaks).
std::string Base64Encode(std::string_view bytes);

// A header value: printable ASCII stays as it is; anything else (GB2312
// text, control bytes) becomes "=?GB2312?B?...?=" encoded words of at most
// 75 characters, split between characters and separated by spaces.
std::string EncodeHeaderText(std::string_view gb2312);

// "Thu, 10 Dec 2026 09:25:49 +0100": the date of a mail, with the local
// time's distance from UTC in seconds.
std::string FormatMailDate(const LocalTime& time, long utcOffsetSeconds);

// A Message-ID value, "<...@domain>", unique within and across runs; the
// domain is taken from the sender's mailbox.
std::string MakeMessageId(const LocalTime& time, std::string_view fromMailbox);
