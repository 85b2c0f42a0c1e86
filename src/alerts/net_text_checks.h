#pragma once
// Checks on texts from the settings before they reach a server: a control
// byte in an address, a path or a login would end the protocol line it is
// written into and start a command of the sender's choosing.

#include <cstddef>
#include <string>
#include <string_view>

// True when the text holds a byte below 0x20 (CR, LF, NUL, tab...) or DEL.
bool HasControlBytes(std::string_view text);

// True for a host name (labels of letters, digits, '-' and '_' joined by
// dots) or a dotted IPv4 address; false for anything that would add a user,
// a port, a path or a second host to a URL.
bool IsHostNameOrIPv4(std::string_view text);

// The mailbox of a stored address: "a@b.c" from "a@b.c" or from
// "Name <a@b.c>". Returns "" and sets *why when the text is no single plain
// address (control bytes, no '@', spaces or brackets in the mailbox...).
std::string ExtractMailbox(std::string_view stored, const char** why);

// Writes text into a fixed buffer of size bytes (size > 0): cut to fit, always
// zero-terminated, control bytes shown as '?', so an error text can be
// logged as it stands.
void CopyBoundedText(char* dst, std::size_t size, std::string_view text);

// The same for a std::string kept within maxChars characters.
std::string BoundedText(std::string_view text, std::size_t maxChars);
