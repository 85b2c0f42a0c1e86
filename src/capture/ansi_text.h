#pragma once
// Device names come as UTF-16 and are kept in the ANSI code page of the
// settings (GB2312); characters it lacks become '?'.

#include <cstddef>
#include <string>

// Writes at most size - 1 bytes and a NUL; never splits a double-byte
// character.
void Utf16ToAnsi(const std::u16string& text, char* out, size_t size);
