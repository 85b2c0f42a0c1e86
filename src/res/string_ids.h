#pragma once
// The string table beside IDS_ABOUTBOX (skin_resources.h): the disk space
// pie's caption and legend, each a printf format.

constexpr unsigned IDS_PIE_FREE_PERCENT = 102;  // "%.2lf%% Free"
constexpr unsigned IDS_CAPACITY_GB = 103;
constexpr unsigned IDS_CAPACITY_MB = 104;
constexpr unsigned IDS_CAPACITY_KB = 105;
constexpr unsigned IDS_USED_GB = 106;
constexpr unsigned IDS_USED_MB = 107;
constexpr unsigned IDS_USED_KB = 108;
constexpr unsigned IDS_FREE_GB = 109;
constexpr unsigned IDS_FREE_MB = 110;
constexpr unsigned IDS_FREE_KB = 111;
