#pragma once
// Shared set-up of the capture layer tests: a synthetic back end, a
// recording message-box handler and a recording frame callback.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture_device.h"
#include "capture/capture_graph.h"
#include "platform/capture/failing_graph_backend.h"
#include "platform/capture/synthetic_backend.h"
#include "platform/msgbox/message_box.h"

struct Delivery {
    int32_t device, length, a, b, c, kind;
    std::vector<uint8_t> data;
};

// Collects every sample handed to the callback.
class DeliveryLog {
public:
    static DeliveryLog& Instance() {
        static DeliveryLog log;
        return log;
    }
    static int32_t Callback(int32_t device, uint8_t* data, int32_t length, int32_t a, int32_t b,
                            int32_t c, int32_t kind) {
        auto& self = Instance();
        std::lock_guard<std::mutex> lock(self.m_mutex);
        self.m_items.push_back({device, length, a, b, c, kind,
                                std::vector<uint8_t>(data, data + (length > 0 ? length : 0))});
        self.m_cv.notify_all();
        return 0;
    }
    std::vector<Delivery> Items() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_items;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items.clear();
    }
    // Waits (generously) until pred holds for the items seen so far.
    template <typename Pred>
    bool WaitFor(Pred pred) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(10), [&] { return pred(m_items); });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Delivery> m_items;
};

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxUiThread();
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            std::lock_guard<std::mutex> lock(m_boxMutex);
            m_boxes.push_back(r);
            return IDOK;
        });
        DeliveryLog::Instance().Clear();
    }

    void TearDown() override {
        if (m_initialised) {
            for (int d = 0; d < GetCaptureDeviceCount(); ++d) {
                SetFrameCallback(static_cast<uint8_t>(d), nullptr);
            }
            StopCapture();
            FreeCaptureDevices();
        }
        SetCaptureBackend(nullptr);
        FlushPendingMessageBoxes();
        SetMessageBoxHandler({});
    }

    // graphFailures: the GraphFailure steps that fail in front of the
    // synthetic devices.
    int Init(SyntheticConfig config, uint32_t graphFailures = 0) {
        m_backend = std::make_shared<SyntheticBackend>(std::move(config));
        if (graphFailures != 0) {
            SetCaptureBackend(std::make_shared<FailingGraphBackend>(m_backend, graphFailures));
        } else {
            SetCaptureBackend(m_backend);
        }
        m_initialised = true;
        return InitCaptureDevices();
    }

    void AttachAll() {
        for (int d = 0; d < GetCaptureDeviceCount(); ++d) {
            SetFrameCallback(static_cast<uint8_t>(d), &DeliveryLog::Callback);
        }
    }

    std::vector<std::string> BoxTexts() {
        std::lock_guard<std::mutex> lock(m_boxMutex);
        std::vector<std::string> out;
        for (const auto& b : m_boxes) {
            EXPECT_EQ(b.caption, "ERROR");
            EXPECT_EQ(b.type, MB_OK);
            out.push_back(b.text);
        }
        return out;
    }
    void ClearBoxes() {
        std::lock_guard<std::mutex> lock(m_boxMutex);
        m_boxes.clear();
    }

    std::shared_ptr<SyntheticBackend> m_backend;
    bool m_initialised = false;
    std::mutex m_boxMutex;
    std::vector<MessageBoxRequest> m_boxes;
};

inline SyntheticVideoDevice VideoDevice(const std::string& name,
                                        std::vector<SyntheticVideoCap> caps = {
                                            {Subtype::I420, 352, 288, 400000}}) {
    SyntheticVideoDevice d;
    d.description = name;
    d.caps = std::move(caps);
    d.realtime = false;
    return d;
}

inline SyntheticAudioDevice AudioDevice(const std::string& name,
                                        std::vector<SyntheticAudioFormat> formats = {
                                            {22050, 1, 16}}) {
    SyntheticAudioDevice d;
    d.description = name;
    d.formats = std::move(formats);
    d.realtime = false;
    return d;
}
