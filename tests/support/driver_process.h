#pragma once
// A driver program of the tests in a process of its own: a pipe to its
// input (closing it ends the process) and one from its output (the first
// line is its server's port).

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

class Driver {
public:
    Driver(const std::string& program, std::vector<std::string> args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Driver() { Stop(); }

    // The port on the first output line; 0 when none came in 10 seconds.
    uint16_t ReadPort() {
        std::string line;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char c = 0;
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{output_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            if (::read(output_, &c, 1) != 1)
                break;
            if (c == '\n')
                return static_cast<uint16_t>(std::stoi(line));
            line += c;
        }
        return 0;
    }

    // Closes the input and waits for the exit; true when it exited by itself
    // with code 0 within the limit.
    bool Stop(int timeoutMs = 5000) {
        if (pid_ <= 0)
            return false;
        ::close(input_);
        ::close(output_);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return false;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
};
