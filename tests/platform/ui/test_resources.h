#pragma once
// A small resource set for the framework's tests: solid bitmaps and a
// skin-like gradient, one icon, one string, one menu and the dialog
// templates: a plain one, a child one, and one with every kind of control.

#include <gtest/gtest.h>

#include <map>

#include "platform/ui/resources.h"
#include "support/qt_app.h"

constexpr UINT kTestDialog = 500;
constexpr UINT kTestChildDialog = 501;
constexpr UINT kControlsDialog = 502;
constexpr UINT kBmpSkin = 13;  // 400 x 300, no two neighbouring pixels alike

// Controls of kControlsDialog, in template order.
constexpr int kRadioSmall = 2001;  // group: Small, Medium, Large, with edit kEditName among them
constexpr int kRadioMedium = 2002;
constexpr int kRadioLarge = 2003;
constexpr int kEditName = 2010;
constexpr int kRadioRed = 2004;  // group: Red, Blue
constexpr int kRadioBlue = 2005;
constexpr int kCheckLoud = 2020;   // starts a group of its own
constexpr int kEditNumber = 2030;  // digits only, centred
constexpr int kEditPort = 2031;
constexpr int kEditSecret = 2032;  // password
constexpr int kEditLocked = 2033;  // disabled
constexpr int kStaticHidden = 2034;
constexpr int kStaticLabel = 2035;
constexpr int kComboCount = 2040;  // items "zero", "one", "two"
constexpr int kListPlain = 2050;
constexpr int kListTabs = 2051;  // expands tabs
constexpr int kListView = 2060;
constexpr int kSpin = 2070;
constexpr int kTimePicker = 2080;
constexpr int kDatePicker = 2081;
constexpr int kCustom = 2090;
constexpr int kRowButton = 2095;
constexpr UINT kBmpRed = 10;
constexpr UINT kBmpGreen = 11;
constexpr UINT kBmpBlue = 12;
constexpr UINT kTestIcon = 20;
constexpr UINT kTestMenu = 30;

class TestResources : public IResourceProvider {
public:
    TestResources() {
        m_bitmaps[kBmpRed] = Solid(30, 20, Qt::red);
        m_bitmaps[kBmpGreen] = Solid(30, 20, Qt::green);
        m_bitmaps[kBmpBlue] = Solid(8, 8, Qt::blue);
        m_bitmaps[kBmpSkin] = Gradient(400, 300);

        DialogTemplate dlg;
        dlg.caption = "Test";
        dlg.cx = 300;
        dlg.cy = 200;
        dlg.controls = {
            {ControlKind::PushButton, 1, "EXIT", 10, 10, 60, 24},
            {ControlKind::PushButton, 1000, "Record", 80, 10, 60, 24},
            {ControlKind::Static, 1170, "0", 10, 50, 24, 10},
            {ControlKind::Edit, 1200, "", 10, 70, 100, 20},
            {ControlKind::ListBox, 1201, "", 10, 100, 100, 60},
            {ControlKind::IconStatic, 1202, "", 150, 100, 32, 32, kTestIcon},
        };
        m_templates[kTestDialog] = dlg;

        DialogTemplate all;
        all.caption = "Controls";
        all.cx = 400;
        all.cy = 300;
        auto add = [&all](ControlKind kind, int id, const char* text, int x, int y, int cx, int cy,
                          UINT style = 0) {
            all.controls.push_back(MakeControlTemplate(kind, id, text, x, y, cx, cy, style));
        };
        add(ControlKind::PushButton, 1, "OK", 300, 260, 80, 26, CTL_GROUP);
        add(ControlKind::GroupBox, -1, "Size", 4, 4, 190, 112);
        add(ControlKind::RadioButton, kRadioSmall, "Small", 12, 24, 80, 22, CTL_GROUP);
        add(ControlKind::RadioButton, kRadioMedium, "Medium", 12, 48, 80, 22);
        add(ControlKind::Edit, kEditName, "", 96, 24, 90, 24);
        add(ControlKind::RadioButton, kRadioLarge, "Large", 12, 72, 80, 22);
        add(ControlKind::RadioButton, kRadioRed, "Red", 200, 10, 60, 22, CTL_GROUP);
        add(ControlKind::RadioButton, kRadioBlue, "Blue", 260, 10, 60, 22);
        add(ControlKind::CheckBox, kCheckLoud, "Loud", 200, 36, 80, 22, CTL_GROUP);
        add(ControlKind::Edit, kEditNumber, "", 200, 62, 60, 24, CTL_NUMBER | CTL_CENTER);
        add(ControlKind::Edit, kEditPort, "", 264, 62, 60, 24);
        add(ControlKind::Edit, kEditSecret, "", 328, 62, 64, 24, CTL_PASSWORD);
        add(ControlKind::Edit, kEditLocked, "", 200, 90, 60, 24, CTL_DISABLED);
        add(ControlKind::Static, kStaticHidden, "hidden", 264, 90, 60, 20, CTL_HIDDEN);
        add(ControlKind::Static, kStaticLabel, "A label", 328, 90, 64, 20);
        add(ControlKind::ListBox, kListPlain, "", 4, 122, 120, 80);
        add(ControlKind::ListBox, kListTabs, "", 128, 122, 120, 80, CTL_TABSTOPS);
        add(ControlKind::ListView, kListView, "", 252, 122, 144, 80);
        add(ControlKind::UpDown, kSpin, "", 4, 208, 20, 30);
        add(ControlKind::TimePicker, kTimePicker, "", 30, 208, 80, 24);
        add(ControlKind::DatePicker, kDatePicker, "", 114, 208, 110, 24);
        add(ControlKind::Custom, kCustom, "", 230, 208, 60, 40);
        add(ControlKind::PushButton, kRowButton, "Channel 01", 4, 260, 90, 26);
        ControlTemplate combo =
            MakeControlTemplate(ControlKind::DropDownList, kComboCount, "", 100, 260, 100, 26);
        combo.items = {"zero", "one", "two"};
        all.controls.push_back(combo);
        m_templates[kControlsDialog] = all;

        DialogTemplate child;
        child.child = true;
        child.cx = 100;
        child.cy = 80;
        m_templates[kTestChildDialog] = child;
    }

    QImage LoadBitmap(UINT id) const override {
        auto it = m_bitmaps.find(id);
        return it == m_bitmaps.end() ? QImage() : it->second;
    }
    QIcon LoadIcon(UINT id) const override {
        return id == kTestIcon ? QIcon(QPixmap::fromImage(Solid(32, 32, Qt::yellow))) : QIcon();
    }
    std::string LoadString(UINT id) const override { return id == 1 ? "one" : ""; }
    std::vector<MenuItem> LoadMenu(UINT id) const override {
        if (id != kTestMenu) {
            return {};
        }
        MenuItem popup;
        popup.text = "Right";
        popup.popup = {{32771, "Show Window"}, {0, "", true}, {32772, "Exit"}};
        return {popup};
    }
    const DialogTemplate* FindTemplate(UINT id) const override {
        auto it = m_templates.find(id);
        return it == m_templates.end() ? nullptr : &it->second;
    }

    static QImage Gradient(int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                image.setPixelColor(x, y, QColor(x % 256, y % 256, (x * 7 + y * 13) % 256));
            }
        }
        return image;
    }

    static QImage Solid(int w, int h, QColor c) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(c);
        return image;
    }

private:
    std::map<UINT, QImage> m_bitmaps;
    std::map<UINT, DialogTemplate> m_templates;
};

// A test with the application object made and these resources installed.
class TestResourcesFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { SetResourceProvider(nullptr); }
    TestResources m_resources;
};

inline void TestResourcesFixture::SetUp() {
    TestQtApp();
    SetResourceProvider(&m_resources);
}
