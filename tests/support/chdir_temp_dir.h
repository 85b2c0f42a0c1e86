#pragma once
// A fresh folder made with mkdtemp that the test works in: the constructor
// changes into it, the destructor changes back and removes it with all it
// holds. Every test case runs in its own process, so chdir is safe here.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

class ChdirTempDir {
public:
    ChdirTempDir() {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) != nullptr) {
            previous_ = cwd;
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "qvtest.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
            std::abort();
        }
        path_ = pattern;
    }
    ~ChdirTempDir() {
        if (!previous_.empty() && chdir(previous_.c_str()) != 0) {
            std::abort();
        }
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ChdirTempDir(const ChdirTempDir&) = delete;
    ChdirTempDir& operator=(const ChdirTempDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string previous_;
    std::string path_;
};
