#pragma once
// The recorder stores and builds Windows-style paths ("C:\OstVA_Rec\CH01_...",
// "<current directory>\Quorvalind.ini"). Every file access turns such a path
// into a real one here: the drive letter through the drive map, backslashes
// into slashes. Paths that are already POSIX paths pass through unchanged.

#include <string>
#include <string_view>

// The real path of a stored path; "" when its drive letter is not mapped.
std::string ToNativePath(std::string_view storedPath);
