#include "platform/capture/real_backend.h"

namespace {

class RealBackend : public CaptureBackend {
public:
    RealBackend(std::shared_ptr<V4l2Io> v4l2, std::shared_ptr<AlsaPcmIo> alsa)
        : m_v4l2(std::move(v4l2)), m_alsa(std::move(alsa)) {}
    std::vector<std::unique_ptr<IMoniker>> Enumerate(DeviceCategory) override { return {}; }

private:
    std::shared_ptr<V4l2Io> m_v4l2;
    std::shared_ptr<AlsaPcmIo> m_alsa;
};

}  // namespace

std::shared_ptr<CaptureBackend> CreateRealBackend(std::shared_ptr<V4l2Io> v4l2,
                                                  std::shared_ptr<AlsaPcmIo> alsa) {
    return std::make_shared<RealBackend>(std::move(v4l2), std::move(alsa));
}
