#pragma once
// Profile (ini) files: "[section]" lines and "key=value" lines below them.
// Section and key names compare without regard to ASCII case; names and
// values are trimmed of spaces and tabs when read. Files are byte text (the
// recorder's texts are GB2312); CRLF and LF line ends are both read, and a
// rewritten file keeps the line end it had (CRLF for a new file). The file
// argument is a stored path and goes through ToNativePath.

// The integer of a key: optional sign and decimal digits after trimming,
// taken to 32 bits, so "-2145378256" reads back as 0x80202030 and a value
// written with "%ld" of an int32 returns the same bits. A value without
// digits reads as 0; a missing file, section or key, or an empty value,
// gives defaultValue.
unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                               const char* file);

// Copies the text of a key (or defaultValue, "" when null) into out, at
// most outSize - 1 bytes and a terminating zero. Returns the number of bytes
// copied without the zero; 0 with nothing written when outSize is 0.
unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* out, unsigned outSize, const char* file);

// Sets a key: its line is replaced in place when it exists, else the line is
// added after the last line of its section, and a missing section is added at
// the end of the file. The file is replaced as a whole (temporary file and
// rename), so a failed write leaves the old file. Returns 1, or 0 when an
// argument is null or holds CR or LF (or a key holds '=', a section ']'), or
// when the file cannot be read or written.
int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const char* file);

inline unsigned GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                                     const char* file) {
    return GetPrivateProfileIntA(section, key, defaultValue, file);
}
inline unsigned GetPrivateProfileString(const char* section, const char* key,
                                        const char* defaultValue, char* out, unsigned outSize,
                                        const char* file) {
    return GetPrivateProfileStringA(section, key, defaultValue, out, outSize, file);
}
inline int WritePrivateProfileString(const char* section, const char* key, const char* value,
                                     const char* file) {
    return WritePrivateProfileStringA(section, key, value, file);
}
