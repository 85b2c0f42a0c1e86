#pragma once
// What every libcurl call of the alerts shares: one global initialisation,
// time-outs that make a silent server fail within seconds, and a progress
// callback that ends the call soon after the caller's run flag is cleared.

#include <curl/curl.h>

#include <atomic>

// Seconds a connect, a server's answer to a command, an active-mode data
// connection or a stalled transfer may take before the call fails.
constexpr long kAlertNetTimeoutSeconds = 8;

// libcurl's process-wide set-up, done once on first use.
void EnsureCurlReady();

// Sets the time-outs, the abort callback watching *runFlag (nullptr: the
// call is never aborted), no signals and, when given, the error buffer
// (CURL_ERROR_SIZE bytes, owned by the caller and living as long as the
// handle). Returns CURLE_OK or the first failing option.
CURLcode ApplyCommonCurlOptions(CURL* curl, const std::atomic<int>* runFlag, char* errorBuffer);

// Ends a handle and its connection. libcurl says goodbye to the server
// (QUIT) and waits for the answer; once the run flag is cleared the
// connection is cut first, so a silent server cannot hold a stopping caller.
void CleanupCurlHandle(CURL* curl, const std::atomic<int>* runFlag);

// True when a run flag was given and has been cleared.
bool RunFlagCleared(const std::atomic<int>* runFlag);
