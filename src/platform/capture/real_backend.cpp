#include "platform/capture/real_backend.h"

#include "platform/capture/alsa_capture.h"
#include "platform/capture/v4l2_capture.h"

namespace {

class RealBackend : public CaptureBackend {
public:
    RealBackend(std::shared_ptr<V4l2Io> v4l2, std::shared_ptr<AlsaPcmIo> alsa)
        : m_v4l2(std::move(v4l2)), m_alsa(std::move(alsa)) {}

    std::vector<std::unique_ptr<IMoniker>> Enumerate(DeviceCategory category) override {
        return category == DeviceCategory::VideoInput ? EnumerateV4l2(m_v4l2)
                                                      : EnumerateAlsa(m_alsa);
    }

private:
    std::shared_ptr<V4l2Io> m_v4l2;
    std::shared_ptr<AlsaPcmIo> m_alsa;
};

}  // namespace

std::shared_ptr<CaptureBackend> CreateRealBackend(std::shared_ptr<V4l2Io> v4l2,
                                                  std::shared_ptr<AlsaPcmIo> alsa) {
    return std::make_shared<RealBackend>(v4l2 ? std::move(v4l2) : CreateSystemV4l2Io(),
                                         alsa ? std::move(alsa) : CreateSystemAlsaPcmIo());
}
