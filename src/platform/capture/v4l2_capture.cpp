#include "platform/capture/v4l2_capture.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/capture/named_device_moniker.h"
#include "platform/capture/source_filter.h"
#include "platform/capture/yuv_convert.h"

namespace {

constexpr int kMaxNodes = 64;
constexpr uint32_t kBufferCount = 4;
constexpr int kPollMs = 100;

// Layouts taken, best first.
constexpr uint32_t kNativeFormats[] = {V4L2_PIX_FMT_YUV420, V4L2_PIX_FMT_YVU420, V4L2_PIX_FMT_YUYV,
                                       V4L2_PIX_FMT_MJPEG};

// Sizes tried on a camera that reports a range instead of a list.
constexpr std::pair<uint32_t, uint32_t> kRangeSizes[] = {
    {352, 288}, {320, 240}, {176, 144}, {160, 120}, {640, 480}};

int Rank(uint32_t fourcc) {
    for (size_t i = 0; i < std::size(kNativeFormats); ++i) {
        if (kNativeFormats[i] == fourcc) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Xioctl(V4l2Io& io, int fd, unsigned long request, void* arg) {
    int r;
    do {
        r = io.Ioctl(fd, request, arg);
    } while (r == -1 && errno == EINTR);
    return r;
}

// 100 ns units of a V4L2 fraction; 0 when it states nothing.
int64_t IntervalOf(const v4l2_fract& f) {
    if (f.numerator == 0 || f.denominator == 0) {
        return 0;
    }
    return static_cast<int64_t>(f.numerator) * 10000000 / f.denominator;
}

struct NativeMode {
    uint32_t fourcc;
    uint32_t width;
    uint32_t height;
    int64_t minInterval;
};

int64_t MinInterval(V4l2Io& io, int fd, uint32_t fourcc, uint32_t w, uint32_t h) {
    int64_t best = 0;
    for (uint32_t i = 0; i < 64; ++i) {
        v4l2_frmivalenum iv{};
        iv.index = i;
        iv.pixel_format = fourcc;
        iv.width = w;
        iv.height = h;
        if (Xioctl(io, fd, VIDIOC_ENUM_FRAMEINTERVALS, &iv) != 0) {
            break;
        }
        const int64_t v = iv.type == V4L2_FRMIVAL_TYPE_DISCRETE ? IntervalOf(iv.discrete)
                                                                : IntervalOf(iv.stepwise.min);
        if (v > 0 && (best == 0 || v < best)) {
            best = v;
        }
        if (iv.type != V4L2_FRMIVAL_TYPE_DISCRETE) {
            break;
        }
    }
    return best;
}

std::vector<NativeMode> NativeModes(V4l2Io& io, int fd) {
    std::vector<NativeMode> modes;
    for (uint32_t f = 0; f < 64; ++f) {
        v4l2_fmtdesc desc{};
        desc.index = f;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Xioctl(io, fd, VIDIOC_ENUM_FMT, &desc) != 0) {
            break;
        }
        if (Rank(desc.pixelformat) < 0) {
            continue;
        }
        for (uint32_t s = 0; s < 256; ++s) {
            v4l2_frmsizeenum size{};
            size.index = s;
            size.pixel_format = desc.pixelformat;
            if (Xioctl(io, fd, VIDIOC_ENUM_FRAMESIZES, &size) != 0) {
                break;
            }
            if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                const uint32_t w = size.discrete.width;
                const uint32_t h = size.discrete.height;
                modes.push_back(
                    {desc.pixelformat, w, h, MinInterval(io, fd, desc.pixelformat, w, h)});
                continue;
            }
            const auto& sw = size.stepwise;
            for (const auto& [w, h] : kRangeSizes) {
                const uint32_t sx = std::max<uint32_t>(1, sw.step_width);
                const uint32_t sy = std::max<uint32_t>(1, sw.step_height);
                if (w >= sw.min_width && w <= sw.max_width && h >= sw.min_height &&
                    h <= sw.max_height && (w - sw.min_width) % sx == 0 &&
                    (h - sw.min_height) % sy == 0) {
                    modes.push_back(
                        {desc.pixelformat, w, h, MinInterval(io, fd, desc.pixelformat, w, h)});
                }
            }
            break;
        }
    }
    return modes;
}

int32_t ConnectorOfInput(const v4l2_input& in) {
    if (in.type == V4L2_INPUT_TYPE_TUNER) {
        return PhysConn_Video_Tuner;
    }
    std::string name(reinterpret_cast<const char*>(in.name),
                     strnlen(reinterpret_cast<const char*>(in.name), sizeof(in.name)));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name.find("s-video") != std::string::npos || name.find("svideo") != std::string::npos) {
        return PhysConn_Video_SVideo;
    }
    if (name.find("component") != std::string::npos) {
        return PhysConn_Video_YRYBY;
    }
    if (name.find("composite") != std::string::npos) {
        return PhysConn_Video_Composite;
    }
    if (name.find("camera") != std::string::npos || name.find("usb") != std::string::npos) {
        return PhysConn_Video_USB;
    }
    return PhysConn_Video_Composite;
}

// The device file, shared by the capture filter and its crossbar.
struct V4l2Handle {
    std::shared_ptr<V4l2Io> io;
    int fd = -1;
    std::mutex mutex;  // serialises ioctls from the UI and the streaming thread
    ~V4l2Handle() {
        if (fd >= 0) {
            io->Close(fd);
        }
    }
    int Ioctl(unsigned long request, void* arg) {
        std::lock_guard<std::mutex> lock(mutex);
        return Xioctl(*io, fd, request, arg);
    }
};

// The camera's inputs as one crossbar with one video output.
class V4l2Crossbar : public BaseFilter, public IAMCrossbar {
public:
    V4l2Crossbar(std::shared_ptr<V4l2Handle> handle, std::vector<int32_t> types)
        : m_handle(std::move(handle)), m_types(std::move(types)) {
        for (size_t i = 0; i < m_types.size(); ++i) {
            AddPin(std::make_unique<Pin>(this, PinDirection::Input, PinCategory::None,
                                         MajorType::Video));
        }
        m_output = AddPin(
            std::make_unique<Pin>(this, PinDirection::Output, PinCategory::None, MajorType::Video));
    }
    Pin* Output() const { return m_output; }
    IAMCrossbar* Crossbar() override { return this; }

    HRESULT get_PinCounts(int32_t* outputs, int32_t* inputs) override {
        if (outputs == nullptr || inputs == nullptr) {
            return E_POINTER;
        }
        *outputs = 1;
        *inputs = static_cast<int32_t>(m_types.size());
        return S_OK;
    }
    HRESULT get_CrossbarPinInfo(bool isInput, int32_t index, int32_t* related,
                                int32_t* type) override {
        if (related == nullptr || type == nullptr) {
            return E_POINTER;
        }
        if (isInput ? (index < 0 || index >= static_cast<int32_t>(m_types.size())) : index != 0) {
            return E_INVALIDARG;
        }
        *related = -1;
        *type = isInput ? m_types[static_cast<size_t>(index)] : PhysConn_Video_VideoDecoder;
        return S_OK;
    }
    HRESULT CanRoute(int32_t output, int32_t input) override {
        if (output != 0 || input < 0 || input >= static_cast<int32_t>(m_types.size())) {
            return E_INVALIDARG;
        }
        return S_OK;
    }
    HRESULT Route(int32_t output, int32_t input) override {
        if (CanRoute(output, input) != S_OK) {
            return E_INVALIDARG;
        }
        int index = input;
        return m_handle->Ioctl(VIDIOC_S_INPUT, &index) == 0 ? S_OK : E_FAIL;
    }
    HRESULT get_IsRoutedTo(int32_t output, int32_t* input) override {
        if (input == nullptr) {
            return E_POINTER;
        }
        if (output != 0) {
            return E_INVALIDARG;
        }
        int index = -1;
        if (m_handle->Ioctl(VIDIOC_G_INPUT, &index) != 0) {
            return E_FAIL;
        }
        *input = index;
        return S_OK;
    }

private:
    std::shared_ptr<V4l2Handle> m_handle;
    std::vector<int32_t> m_types;
    Pin* m_output = nullptr;
};

struct Control {
    bool present = false;
    int32_t min = 0, max = 255, step = 1, def = 0;
    bool scaled = false;  // the device range is mapped onto 0..255
};

class V4l2CaptureFilter : public CaptureSourceFilter, public IAMVideoProcAmp {
public:
    V4l2CaptureFilter(std::shared_ptr<V4l2Handle> handle, std::vector<Capability> caps,
                      std::vector<uint32_t> natives, MediaType current,
                      std::shared_ptr<V4l2Crossbar> crossbar)
        : CaptureSourceFilter(MajorType::Video, std::move(caps), current),
          m_handle(std::move(handle)),
          m_natives(std::move(natives)),
          m_crossbar(std::move(crossbar)) {
        if (m_crossbar) {
            Pin* analog = AddPin(std::make_unique<Pin>(
                this, PinDirection::Input, PinCategory::AnalogVideoIn, MajorType::Video));
            Pin::Link(m_crossbar->Output(), analog);
        }
        LoadControls();
    }

    ~V4l2CaptureFilter() override { Stop(); }

    IAMVideoProcAmp* ProcAmp() override {
        for (const Control& c : m_controls) {
            if (c.present) {
                return this;
            }
        }
        return nullptr;
    }

    HRESULT GetRange(int32_t property, int32_t* min, int32_t* max, int32_t* step, int32_t* def,
                     int32_t* flags) override {
        if (min == nullptr || max == nullptr || step == nullptr || def == nullptr ||
            flags == nullptr) {
            return E_POINTER;
        }
        const Control* c = ControlOf(property);
        if (c == nullptr) {
            return E_PROP_ID_UNSUPPORTED;
        }
        if (c->scaled) {
            *min = 0;
            *max = 255;
            const double span = static_cast<double>(c->max) - c->min;
            *step = std::max(1, static_cast<int32_t>(std::lround(c->step * 255.0 / span)));
            *def = ToByte(*c, c->def);
        } else {
            *min = c->min;
            *max = c->max;
            *step = c->step;
            *def = c->def;
        }
        *flags = VideoProcAmp_Flags_Manual;
        return S_OK;
    }

    HRESULT Get(int32_t property, int32_t* value, int32_t* flags) override {
        if (value == nullptr || flags == nullptr) {
            return E_POINTER;
        }
        const Control* c = ControlOf(property);
        if (c == nullptr) {
            return E_PROP_ID_UNSUPPORTED;
        }
        v4l2_control ctrl{};
        ctrl.id = CidOf(property);
        if (m_handle->Ioctl(VIDIOC_G_CTRL, &ctrl) != 0) {
            return E_FAIL;
        }
        *value = c->scaled ? ToByte(*c, ctrl.value) : ctrl.value;
        *flags = VideoProcAmp_Flags_Manual;
        return S_OK;
    }

    HRESULT Set(int32_t property, int32_t value, int32_t /*flags*/) override {
        const Control* c = ControlOf(property);
        if (c == nullptr) {
            return E_PROP_ID_UNSUPPORTED;
        }
        v4l2_control ctrl{};
        ctrl.id = CidOf(property);
        ctrl.value = c->scaled ? FromByte(*c, value) : value;
        return m_handle->Ioctl(VIDIOC_S_CTRL, &ctrl) == 0 ? S_OK : E_FAIL;
    }

protected:
    HRESULT ApplyDeviceFormat(const MediaType& mt) override {
        const int32_t w = mt.video.bmiHeader.biWidth;
        const int32_t h = std::abs(mt.video.bmiHeader.biHeight);
        uint32_t native = 0;
        for (size_t i = 0; i < Capabilities().size(); ++i) {
            const auto& bmi = Capabilities()[i].type.video.bmiHeader;
            if (bmi.biWidth == w && std::abs(bmi.biHeight) == h) {
                native = m_natives[i];
                break;
            }
        }
        if (native == 0) {
            return VFW_E_INVALIDMEDIATYPE;
        }
        v4l2_format fmt{};
        fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        fmt.fmt.pix.width = static_cast<uint32_t>(w);
        fmt.fmt.pix.height = static_cast<uint32_t>(h);
        fmt.fmt.pix.pixelformat = native;
        fmt.fmt.pix.field = V4L2_FIELD_NONE;
        if (m_handle->Ioctl(VIDIOC_S_FMT, &fmt) != 0 || fmt.fmt.pix.pixelformat != native ||
            fmt.fmt.pix.width != static_cast<uint32_t>(w) ||
            fmt.fmt.pix.height != static_cast<uint32_t>(h)) {
            return E_FAIL;
        }
        m_native = native;
        m_width = w;
        m_height = h;
        m_stride = static_cast<int>(fmt.fmt.pix.bytesperline);
        if (m_stride == 0) {
            m_stride = native == V4L2_PIX_FMT_YUYV ? w * 2 : w;
        }
        if (mt.video.AvgTimePerFrame > 0) {
            // The rate is a wish: cameras that cannot take it keep their own.
            v4l2_streamparm parm{};
            parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            const int64_t avg = mt.video.AvgTimePerFrame;
            const int64_t fps = (10000000 + avg / 2) / avg;
            if (fps > 0 && std::llabs(10000000 / fps - avg) <= 1) {
                // 333333 is 1/30 s: drivers take whole rates best.
                parm.parm.capture.timeperframe.numerator = 1;
                parm.parm.capture.timeperframe.denominator = static_cast<uint32_t>(fps);
            } else {
                parm.parm.capture.timeperframe.numerator = static_cast<uint32_t>(avg);
                parm.parm.capture.timeperframe.denominator = 10000000;
            }
            m_handle->Ioctl(VIDIOC_S_PARM, &parm);
        }
        return S_OK;
    }

    HRESULT StartDevice() override {
        if (m_native == 0 && FAILED(ApplyDeviceFormat(CurrentFormat()))) {
            return E_FAIL;
        }
        v4l2_requestbuffers req{};
        req.count = kBufferCount;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        if (m_handle->Ioctl(VIDIOC_REQBUFS, &req) != 0 || req.count == 0) {
            return E_FAIL;
        }
        m_buffers.assign(req.count, Mapped{});
        for (uint32_t i = 0; i < req.count; ++i) {
            v4l2_buffer buf{};
            buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            buf.memory = V4L2_MEMORY_MMAP;
            buf.index = i;
            if (m_handle->Ioctl(VIDIOC_QUERYBUF, &buf) != 0) {
                ReleaseBuffers();
                return E_FAIL;
            }
            void* p = m_handle->io->Mmap(buf.length, PROT_READ | PROT_WRITE, MAP_SHARED,
                                         m_handle->fd, static_cast<off_t>(buf.m.offset));
            if (p == MAP_FAILED) {
                ReleaseBuffers();
                return E_FAIL;
            }
            m_buffers[i] = {p, buf.length};
            if (m_handle->Ioctl(VIDIOC_QBUF, &buf) != 0) {
                ReleaseBuffers();
                return E_FAIL;
            }
        }
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (m_handle->Ioctl(VIDIOC_STREAMON, &type) != 0) {
            ReleaseBuffers();
            return E_FAIL;
        }
        m_frame.resize(I420Bytes(m_width, m_height));
        return S_OK;
    }

    void StopDevice() override {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        m_handle->Ioctl(VIDIOC_STREAMOFF, &type);
        ReleaseBuffers();
    }

    bool StreamOnce() override {
        const int r = m_handle->io->Poll(m_handle->fd, kPollMs);
        if (r == 0 || (r < 0 && errno == EINTR)) {
            return true;
        }
        if (r < 0) {
            return false;  // the camera went away; the graph's stop cleans up
        }
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (m_handle->Ioctl(VIDIOC_DQBUF, &buf) != 0) {
            return errno == EAGAIN || errno == EINTR || errno == EIO;
        }
        if (buf.index < m_buffers.size() && (buf.flags & V4L2_BUF_FLAG_ERROR) == 0) {
            const auto* data = static_cast<const uint8_t*>(m_buffers[buf.index].addr);
            const size_t used = std::min<size_t>(buf.bytesused, m_buffers[buf.index].length);
            if (Convert(data, used)) {
                Deliver(m_frame.data(), static_cast<int32_t>(m_frame.size()));
            }
        }
        m_handle->Ioctl(VIDIOC_QBUF, &buf);
        return true;
    }

private:
    struct Mapped {
        void* addr = nullptr;
        size_t length = 0;
    };

    bool Convert(const uint8_t* data, size_t used) {
        switch (m_native) {
            case V4L2_PIX_FMT_YUV420:
                return RepackI420(data, used, m_width, m_height, m_stride, false, m_frame.data());
            case V4L2_PIX_FMT_YVU420:
                return RepackI420(data, used, m_width, m_height, m_stride, true, m_frame.data());
            case V4L2_PIX_FMT_YUYV:
                return YuyvToI420(data, used, m_width, m_height, m_stride, m_frame.data());
            case V4L2_PIX_FMT_MJPEG:
                return m_jpeg.DecodeToI420(data, used, m_width, m_height, m_frame.data());
            default:
                return false;
        }
    }

    void ReleaseBuffers() {
        for (Mapped& m : m_buffers) {
            if (m.addr != nullptr) {
                m_handle->io->Munmap(m.addr, m.length);
            }
        }
        m_buffers.clear();
        // Freeing the buffers lets a new format be set.
        v4l2_requestbuffers req{};
        req.count = 0;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        m_handle->Ioctl(VIDIOC_REQBUFS, &req);
    }

    static uint32_t CidOf(int32_t property) {
        switch (property) {
            case VideoProcAmp_Brightness:
                return V4L2_CID_BRIGHTNESS;
            case VideoProcAmp_Contrast:
                return V4L2_CID_CONTRAST;
            case VideoProcAmp_Hue:
                return V4L2_CID_HUE;
            case VideoProcAmp_Saturation:
                return V4L2_CID_SATURATION;
            default:
                return 0;
        }
    }

    const Control* ControlOf(int32_t property) const {
        if (property < 0 || property > 3 || !m_controls[static_cast<size_t>(property)].present) {
            return nullptr;
        }
        return &m_controls[static_cast<size_t>(property)];
    }

    static int32_t ToByte(const Control& c, int32_t v) {
        const double span = static_cast<double>(c.max) - c.min;
        return static_cast<int32_t>(std::lround((static_cast<double>(v) - c.min) * 255.0 / span));
    }

    static int32_t FromByte(const Control& c, int32_t b) {
        const double span = static_cast<double>(c.max) - c.min;
        const int64_t v = c.min + std::llround(std::clamp(b, 0, 255) * span / 255.0);
        return static_cast<int32_t>(std::clamp<int64_t>(v, c.min, c.max));
    }

    void LoadControls() {
        for (int32_t p = 0; p < 4; ++p) {
            v4l2_queryctrl q{};
            q.id = CidOf(p);
            if (m_handle->Ioctl(VIDIOC_QUERYCTRL, &q) != 0 ||
                (q.flags & V4L2_CTRL_FLAG_DISABLED) != 0 || q.maximum <= q.minimum) {
                continue;
            }
            Control& c = m_controls[static_cast<size_t>(p)];
            c.present = true;
            c.min = q.minimum;
            c.max = q.maximum;
            c.step = std::max(1, q.step);
            c.def = q.default_value;
            c.scaled = q.minimum < 0 || q.maximum > 255;
        }
    }

    std::shared_ptr<V4l2Handle> m_handle;
    std::vector<uint32_t> m_natives;  // native layout of each capability
    std::shared_ptr<V4l2Crossbar> m_crossbar;
    Control m_controls[4];
    uint32_t m_native = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int m_stride = 0;
    std::vector<Mapped> m_buffers;
    std::vector<uint8_t> m_frame;
    MjpegDecoder m_jpeg;
};

bool QueryCapture(V4l2Io& io, int fd, std::string* card) {
    v4l2_capability cap{};
    if (Xioctl(io, fd, VIDIOC_QUERYCAP, &cap) != 0) {
        return false;
    }
    const uint32_t caps =
        (cap.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? cap.device_caps : cap.capabilities;
    if ((caps & V4L2_CAP_VIDEO_CAPTURE) == 0 || (caps & V4L2_CAP_STREAMING) == 0) {
        return false;
    }
    if (card != nullptr) {
        const auto* p = reinterpret_cast<const char*>(cap.card);
        card->assign(p, strnlen(p, sizeof(cap.card)));
    }
    return true;
}

}  // namespace

std::vector<V4l2DeviceInfo> ListV4l2Devices(V4l2Io& io) {
    std::vector<V4l2DeviceInfo> out;
    for (int n = 0; n < kMaxNodes; ++n) {
        const std::string path = "/dev/video" + std::to_string(n);
        const int fd = io.Open(path.c_str(), O_RDWR | O_NONBLOCK);
        if (fd < 0) {
            continue;
        }
        std::string card;
        if (QueryCapture(io, fd, &card)) {
            out.push_back({path, card.empty() ? path : card});
        }
        io.Close(fd);
    }
    return out;
}

std::shared_ptr<BaseFilter> OpenV4l2CaptureFilter(std::shared_ptr<V4l2Io> io,
                                                  const std::string& path) {
    auto handle = std::make_shared<V4l2Handle>();
    handle->io = io;
    handle->fd = io->Open(path.c_str(), O_RDWR | O_NONBLOCK);
    if (handle->fd < 0 || !QueryCapture(*io, handle->fd, nullptr)) {
        return nullptr;
    }
    // One I420 capability per size, from the best layout offering it.
    std::vector<NativeMode> best;
    for (const NativeMode& m : NativeModes(*io, handle->fd)) {
        auto it = std::find_if(best.begin(), best.end(), [&](const NativeMode& b) {
            return b.width == m.width && b.height == m.height;
        });
        if (it == best.end()) {
            best.push_back(m);
        } else if (Rank(m.fourcc) < Rank(it->fourcc)) {
            *it = m;
        }
    }
    std::vector<Capability> caps;
    std::vector<uint32_t> natives;
    for (const NativeMode& m : best) {
        if (m.width == 0 || m.height == 0 || m.width > 8192 || m.height > 8192) {
            continue;
        }
        Capability cap;
        cap.type = MakeVideoType(Subtype::I420, static_cast<int32_t>(m.width),
                                 static_cast<int32_t>(m.height), m.minInterval);
        cap.caps.video.MinOutputWidth = cap.caps.video.MaxOutputWidth =
            static_cast<int32_t>(m.width);
        cap.caps.video.MinOutputHeight = cap.caps.video.MaxOutputHeight =
            static_cast<int32_t>(m.height);
        cap.caps.video.MinFrameInterval = m.minInterval;
        caps.push_back(cap);
        natives.push_back(m.fourcc);
    }
    // The current format: the camera's own size when it is one of ours.
    MediaType current = caps.empty() ? MakeVideoType(Subtype::I420, 0, 0, 0) : caps[0].type;
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Xioctl(*io, handle->fd, VIDIOC_G_FMT, &fmt) == 0) {
        for (const Capability& c : caps) {
            if (c.type.video.bmiHeader.biWidth == static_cast<int32_t>(fmt.fmt.pix.width) &&
                c.type.video.bmiHeader.biHeight == static_cast<int32_t>(fmt.fmt.pix.height)) {
                current = c.type;
                break;
            }
        }
    }
    // Inputs: a crossbar when there is a choice or an analog tuner.
    std::vector<int32_t> inputs;
    bool tuner = false;
    for (uint32_t i = 0; i < 32; ++i) {
        v4l2_input in{};
        in.index = i;
        if (Xioctl(*io, handle->fd, VIDIOC_ENUMINPUT, &in) != 0) {
            break;
        }
        inputs.push_back(ConnectorOfInput(in));
        tuner = tuner || in.type == V4L2_INPUT_TYPE_TUNER;
    }
    std::shared_ptr<V4l2Crossbar> crossbar;
    if (inputs.size() > 1 || tuner) {
        crossbar = std::make_shared<V4l2Crossbar>(handle, inputs);
    }
    return std::make_shared<V4l2CaptureFilter>(handle, std::move(caps), std::move(natives), current,
                                               std::move(crossbar));
}

std::vector<std::unique_ptr<IMoniker>> EnumerateV4l2(std::shared_ptr<V4l2Io> io) {
    std::vector<std::unique_ptr<IMoniker>> out;
    for (V4l2DeviceInfo& info : ListV4l2Devices(*io)) {
        out.push_back(MakeNamedDeviceMoniker(
            std::move(info.card),
            [io, path = std::move(info.path)] { return OpenV4l2CaptureFilter(io, path); }));
    }
    return out;
}
