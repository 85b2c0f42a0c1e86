// Template 131, "Channel Setup...": the channel count with its "Change"
// button above the list of channels; below it the channel being edited
// with its source kind, the local devices on the left and the network
// source on the right, and the buttons along the bottom.

#include <cstdio>
#include <string>
#include <vector>

#include "res/channel_setup_ids.h"
#include "res/skin_resources.h"
#include "res/template_builders.h"

namespace {

constexpr int kLeft = 24;
constexpr int kLabelWidth = 116;
constexpr int kLocalField = kLeft + kLabelWidth + 4;
constexpr int kLocalFieldWidth = 210;
constexpr int kNet = 390;
constexpr int kNetField = kNet + kLabelWidth + 4;
constexpr int kNetFieldWidth = 202;
constexpr int kRowTop = 334;
constexpr int kRowStep = 38;
constexpr int kFieldHeight = 28;

int Row(int i) {
    return kRowTop + i * kRowStep;
}

std::vector<std::string> CountItems() {
    std::vector<std::string> items = {"    empty"};
    for (int n = 1; n <= 16; ++n) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d Channels", n);
        items.emplace_back(text);
    }
    return items;
}

}  // namespace

DialogTemplate ChannelSetupTemplate() {
    DialogTemplate t = SetupDialogFrame("Channel Setup...");
    t.controls.push_back(Label(-1, "Total Channel Numbers:", kLeft, 18, 200, 24));
    t.controls.push_back(DropDownList(IDC_CHANNEL_COUNT, 228, 14, 160, kFieldHeight, CountItems()));
    t.controls.push_back(PushButton(IDC_CHANGE_COUNT, "Change", 400, 14, 100, 28));
    t.controls.push_back(
        TemplateControl(ControlKind::ListView, IDC_CHANNEL_LIST, "", kLeft, 54, 688, 226));

    t.controls.push_back(DropDownList(IDC_EDITED_CHANNEL, kLeft, 292, 120, kFieldHeight, {}));
    t.controls.push_back(Radio(IDC_SOURCE_LOCAL, "Local", 170, 294, 90, 24, CTL_GROUP));
    t.controls.push_back(Radio(IDC_SOURCE_NET, "Net", 270, 294, 80, 24));

    const char* const localLabels[] = {
        "Video:", "Video Size:", "Frame Rate:", "Video Input:", "Audio:"};
    const int localIds[] = {IDC_VIDEO_DEVICE, IDC_VIDEO_SIZE, IDC_FRAME_RATE, IDC_VIDEO_INPUT,
                            IDC_AUDIO_DEVICE};
    for (int i = 0; i < 5; ++i) {
        t.controls.push_back(Label(-2 - i, localLabels[i], kLeft, Row(i) + 2, kLabelWidth, 24,
                                   i == 0 ? CTL_GROUP : 0));
        t.controls.push_back(
            DropDownList(localIds[i], kLocalField, Row(i), kLocalFieldWidth, kFieldHeight, {}));
    }

    t.controls.push_back(Label(-7, "Net Address:", kNet, Row(0) + 2, kLabelWidth, 24));
    t.controls.push_back(EditBox(IDC_NET_ADDRESS, kNetField, Row(0), kNetFieldWidth, 26));
    t.controls.push_back(Label(-8, "Channel:", kNet, Row(1) + 2, kLabelWidth, 24));
    t.controls.push_back(EditBox(IDC_REMOTE_CHANNEL, kNetField, Row(1), 80, 26, CTL_NUMBER));
    t.controls.push_back(TemplateControl(ControlKind::UpDown, IDC_REMOTE_CHANNEL_SPIN, "",
                                         kNetField + 82, Row(1), 22, 26));
    t.controls.push_back(Label(-9, "User Name:", kNet, Row(2) + 2, kLabelWidth, 24));
    t.controls.push_back(EditBox(IDC_NET_USER, kNetField, Row(2), kNetFieldWidth, 26));
    t.controls.push_back(Label(-10, "PassWord:", kNet, Row(3) + 2, kLabelWidth, 24));
    t.controls.push_back(EditBox(IDC_NET_PASSWORD, kNetField, Row(3), kNetFieldWidth, 26));

    t.controls.push_back(PushButton(IDC_RECTIFY_CHANNEL, "Rectify Channel", kLeft, 528, 150, 32));
    t.controls.push_back(PushButton(IDC_DELETE_CHANNEL, "Delete Channel", 184, 528, 150, 32));
    t.controls.push_back(PushButton(IDC_CHANGE_STATUS, "Change Status", 344, 528, 150, 32));
    t.controls.push_back(PushButton(IDC_CHANNEL_SAVE, "Save", 522, 528, 90, 32));
    t.controls.push_back(PushButton(IDOK, "Exit", 622, 528, 90, 32));
    return t;
}
