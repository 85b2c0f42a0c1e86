// Template 134, "Record Setup...": video codec, video bit rate and record
// container on the left; audio codec, audio bit rate and the channel's
// title and stamps on the right, with the channel row and Save and Exit
// below them. Radios come in the order their index counts; the first of
// each group starts it.

#include "res/record_setup_ids.h"
#include "res/skin_resources.h"
#include "res/template_builders.h"

namespace {

constexpr int kLeft = 24;  // left column
constexpr int kLeftWidth = 340;
constexpr int kRight = 376;  // right column
constexpr int kRightWidth = 336;
constexpr int kRadioHeight = 24;

// Radios in columns of five, top to bottom, then left to right.
void AddRadioColumns(DialogTemplate& t, const int* ids, const char* const* texts, int count, int x,
                     int y, int columnWidth, int radioWidth) {
    for (int i = 0; i < count; ++i) {
        t.controls.push_back(Radio(ids[i], texts[i], x + (i / 5) * columnWidth, y + (i % 5) * 28,
                                   radioWidth, kRadioHeight, i == 0 ? CTL_GROUP : 0));
    }
}

}  // namespace

DialogTemplate RecordSetupTemplate() {
    DialogTemplate t = SetupDialogFrame("Record Setup...");
    t.controls.push_back(Label(IDC_RECORD_CAPTION, "Channel 01 Record Setup:", kLeft, 14, 340, 24));

    t.controls.push_back(GroupBox(-1, "Video Encode method...", kLeft, 46, kLeftWidth, 174));
    const int codecs[] = {IDC_VCODEC_H264,  IDC_VCODEC_H263,  IDC_VCODEC_H261, IDC_VCODEC_MPEG4,
                          IDC_VCODEC_MPEG2, IDC_VCODEC_MPEG1, IDC_VCODEC_FLV1, IDC_VCODEC_WMV2,
                          IDC_VCODEC_WMV1,  IDC_VCODEC_MJPEG};
    const char* const codecNames[] = {"H264",  "H263", "H261", "Mpeg4", "Mpeg2",
                                      "Mpeg1", "Flv1", "wmv2", "wmv1",  "mjpeg"};
    AddRadioColumns(t, codecs, codecNames, 10, kLeft + 20, 74, 160, 130);

    t.controls.push_back(GroupBox(-2, "Video Encode bitrate...", kLeft, 232, kLeftWidth, 174));
    const int rates[] = {IDC_KBPS_32,  IDC_KBPS_64,  IDC_KBPS_128,  IDC_KBPS_256,  IDC_KBPS_384,
                         IDC_KBPS_512, IDC_KBPS_768, IDC_KBPS_1024, IDC_KBPS_1536, IDC_KBPS_OTHER};
    const char* const rateNames[] = {"32K",  "64K",  "128K",  "256K",  "384K",
                                     "512K", "768K", "1024K", "1536K", "else(K)"};
    AddRadioColumns(t, rates, rateNames, 10, kLeft + 20, 260, 160, 90);
    t.controls.push_back(EditBox(IDC_KBPS_OTHER_EDIT, kLeft + 276, 372, 56, 26, CTL_NUMBER));

    t.controls.push_back(GroupBox(-3, "Record as...", kLeft, 418, kLeftWidth, 64));
    const int files[] = {IDC_RECFILE_AVI, IDC_RECFILE_MPG, IDC_RECFILE_MOV};
    const char* const fileNames[] = {"avi", "mpg", "mov"};
    for (int i = 0; i < 3; ++i) {
        t.controls.push_back(Radio(files[i], fileNames[i], kLeft + 20 + i * 106, 446, 90,
                                   kRadioHeight, i == 0 ? CTL_GROUP : 0));
    }

    // The buttons start a group of their own, so no radio after them joins
    // the container's group.
    t.controls.push_back(PushButton(IDOK, "Exit", kRight + 246, 524, 90, 32, CTL_GROUP));
    AddChannelRow(t, IDC_RECORD_CHANNEL_FIRST, kRight, 334, 84, 36, 80, 30);
    t.controls.push_back(PushButton(IDC_RECORD_SAVE, "Save", kRight + 146, 524, 90, 32));

    t.controls.push_back(GroupBox(-4, "Audio Encode method...", kRight, 46, kRightWidth, 64));
    t.controls.push_back(
        Radio(IDC_ACODEC_MP3, "mp3", kRight + 20, 74, 100, kRadioHeight, CTL_GROUP));
    t.controls.push_back(Radio(IDC_ACODEC_AC3, "ac3", kRight + 140, 74, 100, kRadioHeight));

    t.controls.push_back(GroupBox(-5, "Channel Property setup...", kRight, 194, kRightWidth, 128));
    t.controls.push_back(Label(-6, "Channel Title:", kRight + 20, 222, 110, 24, CTL_GROUP));
    t.controls.push_back(EditBox(IDC_CHANNEL_TITLE, kRight + 136, 220, 180, 26));
    t.controls.push_back(
        CheckBox(IDC_CHANNEL_AUDIO, "Channel Audio", kRight + 20, 256, 160, kRadioHeight));
    t.controls.push_back(CheckBox(IDC_OSD_DATE, "OSD Date", kRight + 20, 286, 130, kRadioHeight));
    t.controls.push_back(CheckBox(IDC_OSD_TIME, "OSD Time", kRight + 170, 286, 130, kRadioHeight));

    t.controls.push_back(GroupBox(-7, "Audio Encode bitrate...", kRight, 120, kRightWidth, 64));
    const int audioRates[] = {IDC_AKBPS_32, IDC_AKBPS_24, IDC_AKBPS_16, IDC_AKBPS_8};
    const char* const audioNames[] = {"32K", "24K", "16K", "8K"};
    for (int i = 0; i < 4; ++i) {
        t.controls.push_back(Radio(audioRates[i], audioNames[i], kRight + 20 + i * 78, 148, 70,
                                   kRadioHeight, i == 0 ? CTL_GROUP : 0));
    }
    return t;
}
