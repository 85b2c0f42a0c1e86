#include "res/skin_resources.h"

#include <QPixmap>

#include "res/skin_painter.h"
#include "res/skin_table.h"

SkinResources::SkinResources() : m_templates(BuildDialogTemplates()) {}

QImage SkinResources::LoadBitmap(UINT id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto cached = m_cache.find(id);
    if (cached != m_cache.end()) {
        return cached->second;
    }
    const SkinBitmapInfo* info = FindSkinBitmap(id);
    if (info == nullptr) {
        return QImage();
    }
    QImage image = PaintSkinBitmap(*info);
    m_cache.emplace(id, image);
    return image;
}

QIcon SkinResources::LoadIcon(UINT id) const {
    if (id != IDR_MAINFRAME) {
        return QIcon();
    }
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(PaintAppIcon(16)));
    icon.addPixmap(QPixmap::fromImage(PaintAppIcon(32)));
    return icon;
}

std::vector<MenuItem> SkinResources::LoadMenu(UINT id) const {
    if (id != IDR_TRAY_MENU) {
        return {};
    }
    MenuItem popup;
    popup.text = "Right";
    MenuItem show;
    show.id = ID_TRAY_SHOW_WINDOW;
    show.text = "Show Window";
    MenuItem separator;
    separator.separator = true;
    MenuItem exit;
    exit.id = ID_TRAY_EXIT;
    exit.text = "Exit";
    popup.popup = {show, separator, exit};
    return {popup};
}

const DialogTemplate* SkinResources::FindTemplate(UINT id) const {
    auto it = m_templates.find(id);
    return it == m_templates.end() ? nullptr : &it->second;
}

void InstallSkinResources() {
    static const SkinResources resources;
    SetResourceProvider(&resources);
}
