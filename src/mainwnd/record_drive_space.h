#pragma once
// Where recordings go: the first enabled drive, C: to Z:, with more than
// 100 MB free, in its folder "X:\OstVA_Rec". A current drive is kept while it
// has at least 99 MB free, so a drive near the limit does not flip back and
// forth.

#include <cstdint>
#include <string>

constexpr uint32_t RECORD_DRIVE_MIN_FREE_MB = 100;  // chosen only above this
constexpr uint32_t RECORD_DRIVE_KEEP_FREE_MB = 99;  // given up below this

// Free megabytes (2^20 bytes) available to the caller on the drive that holds
// a stored path; 0 when the query fails.
uint32_t GetFreeMegabytes(const std::string& storedPath);

// The record folder ("X:\OstVA_Rec", stored form) on the first enabled drive
// with room, created when nothing of that name exists; "" when no enabled
// drive has room. byRecordDrive[i] enables drive letter 'C' + i.
std::string FindRecordFolder(const uint8_t (&byRecordDrive)[24]);

// True when the current folder's drive has fallen below the keep limit.
bool RecordFolderIsShortOfSpace(const std::string& folder);
