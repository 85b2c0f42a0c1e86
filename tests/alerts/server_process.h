#pragma once
// A loopback test server (alert_servers.py) run as a child process with
// Debian's python3: started on a port the system picks, killed when the
// object goes.

#include <sys/types.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class ServerProcess {
public:
    // Starts "alert_servers.py args..." and waits (at most 15 s) for the
    // port it prints. port() is 0 when that failed.
    explicit ServerProcess(const std::vector<std::string>& args);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    void Stop();
    // Freezes the server: connections stay open and nothing answers.
    void Pause();

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// A listening loopback socket that never accepts: shows whether a call
// tried to connect at all.
class LoopbackListener {
public:
    LoopbackListener();
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return port_; }
    bool HasPendingConnection() const;

private:
    int fd_ = -1;
    int port_ = 0;
};

// A fresh temporary folder that the test makes its current directory;
// removed again (with its content) at the end.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Waits up to timeoutMs for a file to exist.
bool WaitForFile(const std::string& path, int timeoutMs);

// Clears a run flag 300 ms from now, on a thread the caller joins: long
// enough for the call under test to be waiting, far below its time-outs.
std::thread ClearRunFlagSoon(std::atomic<int>* run);
