#include "platform/sound/file_output.h"

#include <chrono>
#include <cstdio>

namespace {

void PutLe(std::FILE* f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
    }
}

}  // namespace

class FileSink : public PcmSink {
public:
    FileSink(FileOutput& owner, std::FILE* file) : owner_(owner), file_(file) {}
    ~FileSink() override {
        // RIFF size and data size, now that the data is complete.
        std::fseek(file_, 4, SEEK_SET);
        PutLe(file_, 36 + data_, 4);
        std::fseek(file_, 40, SEEK_SET);
        PutLe(file_, data_, 4);
        std::fclose(file_);
    }

    bool Write(const uint8_t* data, size_t bytes) override {
        {
            std::unique_lock<std::mutex> lock(owner_.mutex_);
            owner_.changed_.wait(
                lock, [&] { return interrupted_ || owner_.unlimited_ || owner_.allowed_ > 0; });
            if (interrupted_) {
                return false;
            }
            if (!owner_.unlimited_) {
                --owner_.allowed_;
            }
        }
        const bool ok = std::fwrite(data, 1, bytes, file_) == bytes && std::fflush(file_) == 0;
        data_ += static_cast<uint32_t>(bytes);
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        ++owner_.written_;
        owner_.changed_.notify_all();
        return ok;
    }

    void Interrupt() override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        interrupted_ = true;
        owner_.changed_.notify_all();
    }

    void Resume() override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        interrupted_ = false;
    }

private:
    FileOutput& owner_;
    std::FILE* const file_;
    bool interrupted_ = false;  // under the owner's mutex
    uint32_t data_ = 0;
};

FileOutput::FileOutput(std::string path) : path_(std::move(path)) {}

std::unique_ptr<PcmSink> FileOutput::Open(const WAVEFORMATEX& format) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr) {
        return nullptr;
    }
    std::fputs("RIFF", f);
    PutLe(f, 36, 4);
    std::fputs("WAVEfmt ", f);
    PutLe(f, 16, 4);
    PutLe(f, format.wFormatTag, 2);
    PutLe(f, format.nChannels, 2);
    PutLe(f, format.nSamplesPerSec, 4);
    PutLe(f, format.nAvgBytesPerSec, 4);
    PutLe(f, format.nBlockAlign, 2);
    PutLe(f, format.wBitsPerSample, 2);
    std::fputs("data", f);
    PutLe(f, 0, 4);
    std::fflush(f);
    return std::make_unique<FileSink>(*this, f);
}

void FileOutput::Allow(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    allowed_ += count;
    changed_.notify_all();
}

void FileOutput::AllowAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    unlimited_ = true;
    changed_.notify_all();
}

bool FileOutput::WaitForBuffers(int count, int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return written_ >= count; });
}

int FileOutput::BuffersWritten() {
    std::lock_guard<std::mutex> lock(mutex_);
    return written_;
}
