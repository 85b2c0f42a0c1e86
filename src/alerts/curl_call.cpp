#include "alerts/curl_call.h"

#include <sys/socket.h>

#include <mutex>

namespace {

int AbortWhenRunFlagCleared(void* clientp, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return RunFlagCleared(static_cast<const std::atomic<int>*>(clientp)) ? 1 : 0;
}

}  // namespace

void EnsureCurlReady() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool RunFlagCleared(const std::atomic<int>* runFlag) {
    return runFlag != nullptr && runFlag->load() == 0;
}

CURLcode ApplyCommonCurlOptions(CURL* curl, const std::atomic<int>* runFlag, char* errorBuffer) {
    // Several threads use libcurl; a time-out must never come as a signal.
    CURLcode rc = curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (rc == CURLE_OK && errorBuffer != nullptr) {
        errorBuffer[0] = '\0';
        rc = curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    }
    const long ms = kAlertNetTimeoutSeconds * 1000;
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, ms);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, kAlertNetTimeoutSeconds);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, ms);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kAlertNetTimeoutSeconds);
    }
    // libcurl calls the progress callback a few times a second also while it
    // waits for a server, so a cleared run flag ends any step quickly.
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, AbortWhenRunFlagCleared);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_XFERINFODATA,
                              const_cast<void*>(static_cast<const void*>(runFlag)));
    }
    return rc;
}

void CleanupCurlHandle(CURL* curl, const std::atomic<int>* runFlag) {
    curl_socket_t control = CURL_SOCKET_BAD;
    if (RunFlagCleared(runFlag) &&
        curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &control) == CURLE_OK &&
        control != CURL_SOCKET_BAD) {
        shutdown(control, SHUT_RDWR);
    }
    curl_easy_cleanup(curl);
}
