#pragma once
// Drive letters C: to Z: over folders of this machine. C: is the current
// directory; D: to Z: come from the optional file "Quorvalind.drives" in the
// current directory, one "X=/folder" line per drive (blank lines and lines
// starting with '#' or ';' are ignored, as are lines that name another
// letter or a folder that is not absolute). Tests replace the map and the
// free-space query.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

constexpr unsigned DRIVE_UNKNOWN = 0;
constexpr unsigned DRIVE_NO_ROOT_DIR = 1;
constexpr unsigned DRIVE_FIXED = 3;

constexpr const char* kDriveMapFileName = "Quorvalind.drives";

// Letter 'C'..'Z' (upper case) -> absolute folder without a trailing slash
// (the root folder stays "/").
using DriveMap = std::map<char, std::string>;

struct DiskSpace {
    std::uint64_t freeToCaller = 0;
    std::uint64_t totalBytes = 0;
    std::uint64_t totalFree = 0;
};

// The folder of a drive letter (either case); "" when it is not mapped or
// the current directory cannot be read (for C:).
std::string GetDriveFolder(char letter);

// The whole map as it stands now, C: included.
DriveMap GetDriveMap();

// Turns "X:\a\b" (or "X:a", "X:") into the drive's folder joined with the
// rest, backslashes made slashes and the rest's GB2312 bytes (the settings'
// code page) made UTF-8; a path without a drive letter is already native
// and only has its backslashes made slashes. "" when the letter is not
// mapped.
std::string ResolveDrivePath(std::string_view storedPath);

// The other way: the stored form "X:\rest" of a native absolute path,
// through the drive whose folder holds it most closely ("X:\" for that
// folder itself; C: wins a tie). The rest keeps its native (UTF-8) bytes:
// the caller turns it into the settings' code page. "" when no drive
// holds it.
std::string ToDrivePath(std::string_view nativePath);

// Bit 0 = A:. A bit is set for C: and for every mapped drive whose folder
// exists.
std::uint32_t GetLogicalDrives();

// Drive type of a root such as "D:", "D:\" or "d:": DRIVE_FIXED when the
// letter is mapped and its folder exists, DRIVE_NO_ROOT_DIR otherwise,
// DRIVE_UNKNOWN for text that names no drive.
unsigned GetDriveTypeA(const char* root);

// Free space of the file system that holds a path (a drive root or any
// stored path on it). Returns 1 and fills the non-null outputs, or 0 when
// the path does not resolve or the query fails.
int GetDiskFreeSpaceExA(const char* path, std::uint64_t* freeToCaller, std::uint64_t* totalBytes,
                        std::uint64_t* totalFree);

// Test hooks. A map override replaces the file's D: to Z: entries (C: stays
// the current directory); std::nullopt goes back to the file.
void SetDriveMapOverride(std::optional<DriveMap> drives);

// A free-space source answers for a drive letter (upper case) and the
// resolved folder; returning false makes the query fail. An empty source
// goes back to statvfs.
using DiskSpaceSource = std::function<bool(char letter, const std::string& folder, DiskSpace& out)>;
void SetDiskSpaceSource(DiskSpaceSource source);
