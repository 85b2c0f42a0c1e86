#pragma once
// An output service for tests: each opened device writes what it plays
// into a WAV file (the format in its header, the sample bytes after it,
// the sizes completed when the device closes).
//
// Paced by the test: each Write waits until the test allowed one more
// buffer, so a test decides exactly how many buffers are played.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/sound/pcm_output.h"

class FileOutput : public PcmOutputService {
public:
    explicit FileOutput(std::string path);

    unsigned DeviceCount() override { return 1; }
    std::unique_ptr<PcmSink> Open(const WAVEFORMATEX& format) override;

    // Lets count more buffers be played.
    void Allow(int count);
    // Lets every buffer be played at once from now on.
    void AllowAll();
    // Waits until count buffers in all have been written; false after
    // timeoutMs.
    bool WaitForBuffers(int count, int timeoutMs);
    int BuffersWritten();

private:
    friend class FileSink;
    const std::string path_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int allowed_ = 0;
    bool unlimited_ = false;
    int written_ = 0;
};
