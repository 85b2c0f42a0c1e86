#include "platform/paths/native_path.h"

#include "platform/drives/drives.h"

std::string ToNativePath(std::string_view storedPath) {
    return ResolveDrivePath(storedPath);
}
