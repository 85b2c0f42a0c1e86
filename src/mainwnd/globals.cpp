#include "mainwnd/globals.h"

std::atomic<int> g_nUptimeSeconds{0};

int GetUptimeSeconds() { return g_nUptimeSeconds.load(); }
