#include "platform/ui/tray_icon.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <cstring>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/test_resources.h"
#include "support/fake_tray.h"
#include "support/qt_app.h"

namespace {

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        SetTrayBackend(&m_tray);
    }
    void TearDown() override {
        SetTrayBackend(nullptr);
        SetResourceProvider(nullptr);
    }

    NOTIFYICONDATA Record(HWND hWnd, HICON hIcon) {
        NOTIFYICONDATA nid;
        nid.hWnd = hWnd;
        nid.uID = 128;
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = WM_TRAY_NOTIFY;
        nid.hIcon = hIcon;
        std::strcpy(nid.szTip, "Quorvalind");
        return nid;
    }

    TestResources m_resources;
    FakeTray m_tray;
};

TEST_F(TrayTest, IconKeepsItsTipAndIconAfterTheHandleIsDestroyed) {
    CDialog dlg(kTestDialog);
    std::vector<std::pair<WPARAM, LPARAM>> notes;
    dlg.MapMessage(WM_TRAY_NOTIFY, [&](WPARAM w, LPARAM l) {
        notes.emplace_back(w, l);
        if (l == WM_LBUTTONDBLCLK) {
            dlg.EndDialog(IDOK);
        }
        return 0;
    });
    QTimer::singleShot(0, [&] {
        HICON hIcon = LoadIcon(kTestIcon);
        ASSERT_NE(hIcon, nullptr);
        NOTIFYICONDATA nid = Record(dlg.GetSafeHwnd(), hIcon);
        EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, &nid));
        DestroyIcon(hIcon);
        EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &nid));  // shown already
        ASSERT_EQ(m_tray.Count(), 1u);
        EXPECT_EQ(m_tray.Only().tip, "Quorvalind");
        EXPECT_FALSE(m_tray.Only().icon.isNull());
        m_tray.Click(WM_RBUTTONDOWN);
        m_tray.Click(WM_LBUTTONDBLCLK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], std::make_pair(WPARAM{128}, LPARAM{WM_RBUTTONDOWN}));
    EXPECT_EQ(notes[1], std::make_pair(WPARAM{128}, LPARAM{WM_LBUTTONDBLCLK}));
}

TEST_F(TrayTest, DeleteRemovesOnlyAShownIcon) {
    HWND h = reinterpret_cast<HWND>(uintptr_t{0x40});
    NOTIFYICONDATA nid = Record(h, nullptr);
    EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &nid));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_MODIFY, &nid));
    EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, &nid));
    std::strcpy(nid.szTip, "other");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_MODIFY, &nid));
    EXPECT_EQ(m_tray.Only().tip, "other");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &nid));
    EXPECT_EQ(m_tray.Count(), 0u);
    EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &nid));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, nullptr));
}

TEST_F(TrayTest, NoTrayMeansNoIcon) {
    m_tray.available = false;
    EXPECT_FALSE(IsTrayAvailable());
    NOTIFYICONDATA nid = Record(reinterpret_cast<HWND>(uintptr_t{0x40}), nullptr);
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &nid));
    EXPECT_EQ(m_tray.shows, 0);

    // The offscreen desktop has no tray either.
    SetTrayBackend(nullptr);
    EXPECT_FALSE(IsTrayAvailable());
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &nid));
}

}  // namespace
