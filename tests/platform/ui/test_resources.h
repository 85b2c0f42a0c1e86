#pragma once
// A small resource set for the framework's tests: two solid bitmaps, one
// icon, one string, one menu and two dialog templates.

#include <map>

#include "platform/ui/resources.h"

constexpr UINT kTestDialog = 500;
constexpr UINT kTestChildDialog = 501;
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

    static QImage Solid(int w, int h, QColor c) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(c);
        return image;
    }

private:
    std::map<UINT, QImage> m_bitmaps;
    std::map<UINT, DialogTemplate> m_templates;
};
