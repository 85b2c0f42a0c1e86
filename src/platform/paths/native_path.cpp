#include "platform/paths/native_path.h"

#include <unistd.h>

#include <cctype>
#include <climits>

// Until the drive map lands: C: is the current directory, no other drive.
std::string ToNativePath(std::string_view storedPath) {
    std::string rest(storedPath);
    std::string base;
    if (rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':') {
        if (std::toupper(static_cast<unsigned char>(rest[0])) != 'C') {
            return "";
        }
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) == nullptr) {
            return "";
        }
        base = cwd;
        rest.erase(0, 2);
        if (!rest.empty() && rest[0] != '\\' && rest[0] != '/') {
            base += '/';
        }
    }
    for (char& c : rest) {
        if (c == '\\') {
            c = '/';
        }
    }
    return base + rest;
}
