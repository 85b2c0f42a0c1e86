#include "alerts/server_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

ServerProcess::ServerProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    std::vector<std::string> argv = {"/usr/bin/python3", QV_ALERT_SERVERS_SCRIPT};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (std::string& a : argv) {
        cargv.push_back(a.data());
    }
    cargv.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive a crashed test
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execv(cargv[0], cargv.data());
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        return;
    }
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 200) > 0) {
            char buf[64];
            ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            line.append(buf, static_cast<std::size_t>(n));
        }
    }
    close(fds[0]);
    if (line.find('\n') != std::string::npos) {
        port_ = std::atoi(line.c_str());
    }
}

ServerProcess::~ServerProcess() {
    Stop();
}

void ServerProcess::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

LoopbackListener::LoopbackListener() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        listen(fd_, 8) == 0 && getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
        port_ = ntohs(addr.sin_port);
    }
}

LoopbackListener::~LoopbackListener() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool LoopbackListener::HasPendingConnection() const {
    pollfd p{fd_, POLLIN, 0};
    return poll(&p, 1, 100) > 0;
}

void ServerProcess::Pause() {
    if (pid_ > 0) {
        kill(pid_, SIGSTOP);
    }
}

TempWorkDir::TempWorkDir() {
    char tmpl[] = "/tmp/qv_alerts_XXXXXX";
    if (mkdtemp(tmpl) != nullptr) {
        path_ = tmpl;
        previous_ = std::filesystem::current_path().string();
        std::filesystem::current_path(path_);
    }
}

TempWorkDir::~TempWorkDir() {
    if (!path_.empty()) {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(path_, ec);
    }
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

bool WaitForFile(const std::string& path, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::thread ClearRunFlagSoon(std::atomic<int>* run) {
    return std::thread([run] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        *run = 0;
    });
}
