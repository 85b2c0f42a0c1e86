// The capture graph builder's interface lookup over the synthetic filters:
// each interface is found where it sits, from the pin the category and
// media type name.

#include "platform/capture/filter_graph.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/capture/synthetic_config.h"
#include "platform/capture/synthetic_sources.h"

namespace {

const char* kDevices = R"(
[Video1]
Caps=I420 352x288 @400000
AnalogInput=1
Crossbar0=Tuner, Composite
Brightness=0,255,1,128
Pacing=manual

[Video2]
Caps=I420 352x288 @400000
Pacing=manual

[Audio1]
Formats=22050/1/16
Pacing=manual
)";

struct Found {
    bool config, negotiation, procAmp, crossbar;
};

Found Lookup(ICaptureGraphBuilder2& builder, PinCategory category, MajorType major,
             BaseFilter* filter) {
    IAMStreamConfig* config = nullptr;
    IAMBufferNegotiation* negotiation = nullptr;
    IAMVideoProcAmp* procAmp = nullptr;
    IAMCrossbar* crossbar = nullptr;
    const Found found{builder.FindInterface(category, major, filter, &config) == S_OK,
                      builder.FindInterface(category, major, filter, &negotiation) == S_OK,
                      builder.FindInterface(category, major, filter, &procAmp) == S_OK,
                      builder.FindInterface(category, major, filter, &crossbar) == S_OK};
    // A failed lookup leaves no stale pointer behind.
    EXPECT_EQ(found.config, config != nullptr);
    EXPECT_EQ(found.negotiation, negotiation != nullptr);
    EXPECT_EQ(found.procAmp, procAmp != nullptr);
    EXPECT_EQ(found.crossbar, crossbar != nullptr);
    return found;
}

TEST(FindInterfaceTest, EachInterfaceIsFoundWhereItSits) {
    SyntheticConfig config;
    std::string error;
    ASSERT_TRUE(ParseSyntheticConfig(kDevices, &config, &error)) << error;
    auto recorder = std::make_shared<SyntheticRecorder>();
    SyntheticVideoSource card(config.video[0], recorder);
    SyntheticVideoSource camera(config.video[1], recorder);
    SyntheticAudioSource microphone(config.audio[0], recorder);
    ICaptureGraphBuilder2 builder;

    struct Case {
        const char* what;
        BaseFilter* filter;
        PinCategory category;
        MajorType major;
        Found expect;
    } cases[] = {
        {"capture card", &card, PinCategory::Capture, MajorType::Any, {true, false, true, true}},
        {"capture card, video",
         &card,
         PinCategory::Capture,
         MajorType::Video,
         {true, false, true, true}},
        {"capture card, no audio pin",
         &card,
         PinCategory::Capture,
         MajorType::Audio,
         {false, false, false, false}},
        {"capture card, no preview pin",
         &card,
         PinCategory::Preview,
         MajorType::Any,
         {false, false, false, false}},
        {"camera without crossbar or controls",
         &camera,
         PinCategory::Capture,
         MajorType::Any,
         {true, false, false, false}},
        {"microphone",
         &microphone,
         PinCategory::Capture,
         MajorType::Audio,
         {true, true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Found found = Lookup(builder, c.category, c.major, c.filter);
        EXPECT_EQ(found.config, c.expect.config);
        EXPECT_EQ(found.negotiation, c.expect.negotiation);
        EXPECT_EQ(found.procAmp, c.expect.procAmp);
        EXPECT_EQ(found.crossbar, c.expect.crossbar);
    }

    // The crossbar found is the one wired to the analog input.
    IAMCrossbar* crossbar = nullptr;
    ASSERT_EQ(builder.FindInterface(PinCategory::Capture, MajorType::Any, &card, &crossbar), S_OK);
    int32_t outputs = 0;
    int32_t inputs = 0;
    ASSERT_EQ(crossbar->get_PinCounts(&outputs, &inputs), S_OK);
    EXPECT_EQ(inputs, 2);

    IAMStreamConfig* config0 = nullptr;
    EXPECT_EQ(builder.FindInterface(PinCategory::Capture, MajorType::Any, nullptr, &config0),
              E_POINTER);
    EXPECT_EQ(builder.FindInterface<IAMStreamConfig>(PinCategory::Capture, MajorType::Any, &card,
                                                     nullptr),
              E_POINTER);
}

}  // namespace
