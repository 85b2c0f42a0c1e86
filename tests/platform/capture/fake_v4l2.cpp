#include "fake_v4l2.h"

#include <sys/mman.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr off_t kOffsetShift = 20;

void CopyName(uint8_t* dst, size_t size, const std::string& s) {
    std::memset(dst, 0, size);
    std::memcpy(dst, s.data(), std::min(size - 1, s.size()));
}

}  // namespace

void FakeV4l2::AddDevice(int node, FakeV4l2Camera camera) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Device d;
    d.camera = std::move(camera);
    for (const FakeV4l2Control& c : d.camera.controls) {
        d.values[c.id] = c.def;
    }
    if (!d.camera.formats.empty() && !d.camera.formats[0].sizes.empty()) {
        const auto& f = d.camera.formats[0];
        Describe(d, f.fourcc, f.sizes[0].width, f.sizes[0].height);
    }
    m_devices[node] = std::move(d);
}

void FakeV4l2::Describe(Device& d, uint32_t fourcc, uint32_t w, uint32_t h) {
    d.current = {};
    d.current.width = w;
    d.current.height = h;
    d.current.pixelformat = fourcc;
    d.current.field = V4L2_FIELD_NONE;
    if (fourcc == V4L2_PIX_FMT_YUYV) {
        d.current.bytesperline = w * 2 + d.camera.padding;
        d.current.sizeimage = d.current.bytesperline * h;
    } else if (fourcc == V4L2_PIX_FMT_MJPEG) {
        d.current.bytesperline = 0;
        d.current.sizeimage = w * h * 2;
    } else {
        d.current.bytesperline = w + d.camera.padding;
        d.current.sizeimage = d.current.bytesperline * h * 3 / 2;
    }
}

FakeV4l2::Device* FakeV4l2::DeviceOf(int fd) {
    auto it = m_fds.find(fd);
    if (it == m_fds.end()) {
        return nullptr;
    }
    return &m_devices[it->second];
}

int FakeV4l2::Open(const char* path, int /*flags*/) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::string prefix = "/dev/video";
    const std::string p(path);
    if (p.rfind(prefix, 0) != 0) {
        errno = ENOENT;
        return -1;
    }
    const int node = std::stoi(p.substr(prefix.size()));
    if (m_devices.count(node) == 0) {
        errno = ENOENT;
        return -1;
    }
    const int fd = m_nextFd++;
    m_fds[fd] = node;
    return fd;
}

int FakeV4l2::Close(int fd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fds.erase(fd) == 0) {
        errno = EBADF;
        return -1;
    }
    return 0;
}

void FakeV4l2::Fill(Device& d, uint32_t index, uint32_t* used) {
    std::vector<uint8_t>& b = d.buffers[index];
    const v4l2_pix_format& f = d.current;
    const uint32_t n = d.sequence;
    if (f.pixelformat == V4L2_PIX_FMT_MJPEG) {
        const size_t len = std::min(b.size(), d.camera.mjpegFrame.size());
        std::memcpy(b.data(), d.camera.mjpegFrame.data(), len);
        *used = static_cast<uint32_t>(len);
    } else if (f.pixelformat == V4L2_PIX_FMT_YUYV) {
        std::fill(b.begin(), b.end(), 0xEE);
        for (uint32_t y = 0; y < f.height; ++y) {
            uint8_t* row = b.data() + static_cast<size_t>(y) * f.bytesperline;
            for (uint32_t x = 0; x + 1 < f.width; x += 2) {
                row[2 * x] = LumaAt(x, y, n);
                row[2 * x + 1] = UAt(x / 2, y);
                row[2 * x + 2] = LumaAt(x + 1, y, n);
                row[2 * x + 3] = VAt(x / 2, y);
            }
        }
        *used = f.sizeimage;
    } else {
        std::fill(b.begin(), b.end(), 0xEE);
        const uint32_t s = f.bytesperline;
        for (uint32_t y = 0; y < f.height; ++y) {
            for (uint32_t x = 0; x < f.width; ++x) {
                b[static_cast<size_t>(y) * s + x] = LumaAt(x, y, n);
            }
        }
        uint8_t* first = b.data() + static_cast<size_t>(s) * f.height;
        uint8_t* second = first + static_cast<size_t>(s / 2) * (f.height / 2);
        const bool yvu = f.pixelformat == V4L2_PIX_FMT_YVU420;
        for (uint32_t y = 0; y < f.height / 2; ++y) {
            for (uint32_t x = 0; x < f.width / 2; ++x) {
                first[static_cast<size_t>(y) * (s / 2) + x] = yvu ? VAt(x, y) : UAt(x, y);
                second[static_cast<size_t>(y) * (s / 2) + x] = yvu ? UAt(x, y) : VAt(x, y);
            }
        }
        *used = f.sizeimage;
    }
    if (d.camera.shortFrames) {
        *used /= 2;
    }
}

int FakeV4l2::Ioctl(int fd, unsigned long request, void* arg) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Device* d = DeviceOf(fd);
    if (d == nullptr) {
        errno = EBADF;
        return -1;
    }
    auto fail = [](int e) {
        errno = e;
        return -1;
    };
    switch (request) {
        case VIDIOC_QUERYCAP: {
            auto* cap = static_cast<v4l2_capability*>(arg);
            std::memset(cap, 0, sizeof(*cap));
            CopyName(cap->card, sizeof(cap->card), d->camera.card);
            cap->capabilities = d->camera.caps | V4L2_CAP_DEVICE_CAPS;
            cap->device_caps = d->camera.caps;
            return 0;
        }
        case VIDIOC_ENUM_FMT: {
            auto* desc = static_cast<v4l2_fmtdesc*>(arg);
            if (desc->index >= d->camera.formats.size()) {
                return fail(EINVAL);
            }
            desc->pixelformat = d->camera.formats[desc->index].fourcc;
            return 0;
        }
        case VIDIOC_ENUM_FRAMESIZES: {
            auto* size = static_cast<v4l2_frmsizeenum*>(arg);
            for (const FakeV4l2Format& f : d->camera.formats) {
                if (f.fourcc != size->pixel_format) {
                    continue;
                }
                if (f.stepwise) {
                    if (size->index != 0) {
                        return fail(EINVAL);
                    }
                    size->type = V4L2_FRMSIZE_TYPE_STEPWISE;
                    size->stepwise = {f.sizes[0].width,  f.sizes[1].width,  f.step,
                                      f.sizes[0].height, f.sizes[1].height, f.step};
                    return 0;
                }
                if (size->index >= f.sizes.size()) {
                    return fail(EINVAL);
                }
                size->type = V4L2_FRMSIZE_TYPE_DISCRETE;
                size->discrete = {f.sizes[size->index].width, f.sizes[size->index].height};
                return 0;
            }
            return fail(EINVAL);
        }
        case VIDIOC_ENUM_FRAMEINTERVALS: {
            auto* iv = static_cast<v4l2_frmivalenum*>(arg);
            for (const FakeV4l2Format& f : d->camera.formats) {
                if (f.fourcc != iv->pixel_format) {
                    continue;
                }
                for (const FakeV4l2Size& s : f.sizes) {
                    if (s.width == iv->width && s.height == iv->height &&
                        iv->index < s.intervals.size()) {
                        iv->type = V4L2_FRMIVAL_TYPE_DISCRETE;
                        iv->discrete = s.intervals[iv->index];
                        return 0;
                    }
                }
            }
            return fail(EINVAL);
        }
        case VIDIOC_G_FMT: {
            auto* fmt = static_cast<v4l2_format*>(arg);
            fmt->fmt.pix = d->current;
            return 0;
        }
        case VIDIOC_S_FMT: {
            if (!d->buffers.empty()) {
                return fail(EBUSY);
            }
            auto* fmt = static_cast<v4l2_format*>(arg);
            const v4l2_pix_format want = fmt->fmt.pix;
            for (const FakeV4l2Format& f : d->camera.formats) {
                if (f.fourcc != want.pixelformat) {
                    continue;
                }
                // The driver adjusts an unknown size to its first one.
                uint32_t w = f.sizes[0].width;
                uint32_t h = f.sizes[0].height;
                for (const FakeV4l2Size& s : f.sizes) {
                    if (s.width == want.width && s.height == want.height) {
                        w = s.width;
                        h = s.height;
                    }
                }
                if (f.stepwise) {
                    w = want.width;
                    h = want.height;
                }
                Describe(*d, f.fourcc, w, h);
                fmt->fmt.pix = d->current;
                d->record.formatsSet.push_back(d->current);
                return 0;
            }
            return fail(EINVAL);
        }
        case VIDIOC_S_PARM: {
            auto* parm = static_cast<v4l2_streamparm*>(arg);
            d->record.ratesSet.push_back(parm->parm.capture.timeperframe);
            return 0;
        }
        case VIDIOC_REQBUFS: {
            auto* req = static_cast<v4l2_requestbuffers*>(arg);
            if (d->streaming) {
                return fail(EBUSY);
            }
            if (req->count == 0) {
                if (!d->buffers.empty()) {
                    ++d->record.buffersFreed;
                }
                d->buffers.clear();
                d->queued.clear();
                return 0;
            }
            if (!d->buffers.empty()) {
                return fail(EBUSY);
            }
            req->count = std::min<uint32_t>(req->count, 3);
            d->buffers.assign(req->count, std::vector<uint8_t>(d->current.sizeimage));
            return 0;
        }
        case VIDIOC_QUERYBUF: {
            auto* buf = static_cast<v4l2_buffer*>(arg);
            if (buf->index >= d->buffers.size()) {
                return fail(EINVAL);
            }
            buf->length = static_cast<uint32_t>(d->buffers[buf->index].size());
            buf->m.offset = buf->index << kOffsetShift;
            return 0;
        }
        case VIDIOC_QBUF: {
            auto* buf = static_cast<v4l2_buffer*>(arg);
            if (buf->index >= d->buffers.size()) {
                return fail(EINVAL);
            }
            d->queued.push_back(buf->index);
            return 0;
        }
        case VIDIOC_DQBUF: {
            auto* buf = static_cast<v4l2_buffer*>(arg);
            if (!d->streaming) {
                return fail(EINVAL);
            }
            if (d->queued.empty()) {
                return fail(EAGAIN);
            }
            buf->index = d->queued.front();
            d->queued.erase(d->queued.begin());
            Fill(*d, buf->index, &buf->bytesused);
            buf->flags = 0;
            buf->sequence = d->sequence++;
            return 0;
        }
        case VIDIOC_STREAMON:
            if (d->buffers.empty()) {
                return fail(EINVAL);
            }
            d->streaming = true;
            ++d->record.streamOns;
            return 0;
        case VIDIOC_STREAMOFF:
            d->streaming = false;
            ++d->record.streamOffs;
            return 0;
        case VIDIOC_ENUMINPUT: {
            auto* in = static_cast<v4l2_input*>(arg);
            if (in->index >= d->camera.inputs.size()) {
                return fail(EINVAL);
            }
            CopyName(in->name, sizeof(in->name), d->camera.inputs[in->index].name);
            in->type = d->camera.inputs[in->index].type;
            return 0;
        }
        case VIDIOC_G_INPUT:
            *static_cast<int*>(arg) = d->input;
            return 0;
        case VIDIOC_S_INPUT: {
            const int i = *static_cast<int*>(arg);
            if (i < 0 || i >= static_cast<int>(d->camera.inputs.size())) {
                return fail(EINVAL);
            }
            d->input = i;
            d->record.inputsSet.push_back(i);
            return 0;
        }
        case VIDIOC_QUERYCTRL: {
            auto* q = static_cast<v4l2_queryctrl*>(arg);
            for (const FakeV4l2Control& c : d->camera.controls) {
                if (c.id == q->id) {
                    q->minimum = c.min;
                    q->maximum = c.max;
                    q->step = c.step;
                    q->default_value = c.def;
                    q->flags = 0;
                    return 0;
                }
            }
            return fail(EINVAL);
        }
        case VIDIOC_G_CTRL: {
            auto* c = static_cast<v4l2_control*>(arg);
            auto it = d->values.find(c->id);
            if (it == d->values.end()) {
                return fail(EINVAL);
            }
            c->value = it->second;
            return 0;
        }
        case VIDIOC_S_CTRL: {
            auto* c = static_cast<v4l2_control*>(arg);
            for (const FakeV4l2Control& k : d->camera.controls) {
                if (k.id == c->id) {
                    if (c->value < k.min || c->value > k.max) {
                        return fail(ERANGE);
                    }
                    d->values[c->id] = c->value;
                    d->record.controlsSet.push_back({c->id, c->value});
                    return 0;
                }
            }
            return fail(EINVAL);
        }
        default:
            return fail(ENOTTY);
    }
}

void* FakeV4l2::Mmap(size_t length, int /*prot*/, int /*flags*/, int fd, off_t offset) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Device* d = DeviceOf(fd);
    const auto index = static_cast<size_t>(offset >> kOffsetShift);
    if (d == nullptr || index >= d->buffers.size() || length > d->buffers[index].size()) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    ++m_mapped;
    return d->buffers[index].data();
}

int FakeV4l2::Munmap(void* /*addr*/, size_t /*length*/) {
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_mapped;
    return 0;
}

int FakeV4l2::Poll(int fd, int timeoutMs) {
    bool ready = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Device* d = DeviceOf(fd);
        if (d == nullptr) {
            errno = EBADF;
            return -1;
        }
        ready = d->streaming && !d->queued.empty();
    }
    if (ready) {
        // A picture every few milliseconds keeps the tests quick.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 10)));
    return 0;
}

FakeV4l2::Record FakeV4l2::RecordOf(int node) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices[node].record;
}

int FakeV4l2::OpenFds() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_fds.size());
}

int FakeV4l2::MappedBuffers() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mapped;
}
