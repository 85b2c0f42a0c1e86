#pragma once
// A scripted V4L2 device for tests: answers the ioctls the back end makes,
// fills mmap buffers with a known picture in the camera's own layout, and
// records every format, input and control that was set.

#include <linux/videodev2.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/capture/v4l2_io.h"

struct FakeV4l2Size {
    uint32_t width, height;
    std::vector<v4l2_fract> intervals;  // discrete frame intervals
};

struct FakeV4l2Format {
    uint32_t fourcc;
    std::vector<FakeV4l2Size> sizes;
    bool stepwise = false;  // sizes[0] is the minimum, sizes[1] the maximum
    uint32_t step = 16;
};

struct FakeV4l2Input {
    std::string name;
    uint32_t type = V4L2_INPUT_TYPE_CAMERA;
};

struct FakeV4l2Control {
    uint32_t id;
    int32_t min, max, step, def;
};

struct FakeV4l2Camera {
    std::string card = "Fake camera";
    uint32_t caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    std::vector<FakeV4l2Format> formats;
    std::vector<FakeV4l2Input> inputs{{"Camera 1"}};
    std::vector<FakeV4l2Control> controls;
    uint32_t padding = 0;             // bytes added to every row
    std::vector<uint8_t> mjpegFrame;  // what an MJPEG capture returns
    bool shortFrames = false;         // report fewer bytes than a picture needs
};

class FakeV4l2 : public V4l2Io {
public:
    void AddDevice(int node, FakeV4l2Camera camera);

    int Open(const char* path, int flags) override;
    int Close(int fd) override;
    int Ioctl(int fd, unsigned long request, void* arg) override;
    void* Mmap(size_t length, int prot, int flags, int fd, off_t offset) override;
    int Munmap(void* addr, size_t length) override;
    int Poll(int fd, int timeoutMs) override;

    // Expected picture bytes of frame n (in the camera's layout).
    static uint8_t LumaAt(uint32_t x, uint32_t y, uint32_t n) {
        return static_cast<uint8_t>(x * 3 + y * 5 + n * 7);
    }
    static uint8_t UAt(uint32_t x, uint32_t y) { return static_cast<uint8_t>(64 + (x + y) % 32); }
    static uint8_t VAt(uint32_t x, uint32_t y) {
        return static_cast<uint8_t>(192 - (x + 2 * y) % 32);
    }

    struct Record {
        std::vector<v4l2_pix_format> formatsSet;
        std::vector<v4l2_fract> ratesSet;
        std::vector<int> inputsSet;
        std::vector<std::pair<uint32_t, int32_t>> controlsSet;
        int streamOns = 0;
        int streamOffs = 0;
        int buffersFreed = 0;
    };
    Record RecordOf(int node);
    int OpenFds();
    int MappedBuffers();

private:
    struct Device {
        FakeV4l2Camera camera;
        v4l2_pix_format current{};
        int input = 0;
        std::map<uint32_t, int32_t> values;
        std::vector<std::vector<uint8_t>> buffers;
        std::vector<uint32_t> queued;
        bool streaming = false;
        uint32_t sequence = 0;
        Record record;
    };
    Device* DeviceOf(int fd);
    void Fill(Device& d, uint32_t index, uint32_t* used);
    static void Describe(Device& d, uint32_t fourcc, uint32_t w, uint32_t h);

    std::mutex m_mutex;
    std::map<int, Device> m_devices;  // by node number
    std::map<int, int> m_fds;         // fd -> node
    int m_nextFd = 1000;
    int m_mapped = 0;
};
