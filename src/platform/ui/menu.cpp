#include "platform/ui/menu.h"

#include <QCursor>
#include <QMenu>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/window_registry.h"
#include "platform/ui/wnd.h"

BOOL CMenu::LoadMenu(UINT nIDResource) {
    const IResourceProvider* provider = GetResourceProvider();
    std::vector<MenuItem> items =
        provider != nullptr ? provider->LoadMenu(nIDResource) : std::vector<MenuItem>{};
    if (items.empty()) {
        return FALSE;
    }
    m_items = std::move(items);
    m_subMenus.clear();
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    m_items.clear();
    m_subMenus.clear();
    return TRUE;
}

CMenu* CMenu::GetSubMenu(int nPos) {
    if (nPos < 0 || nPos >= GetMenuItemCount() || m_items[nPos].popup.empty()) {
        return nullptr;
    }
    auto sub = std::make_unique<CMenu>(m_bSystem);
    sub->m_items = m_items[nPos].popup;
    m_subMenus.push_back(std::move(sub));
    return m_subMenus.back().get();
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const char* lpszNewItem) {
    MenuItem item;
    if (nFlags & MF_SEPARATOR) {
        item.separator = true;
    } else {
        item.id = static_cast<UINT>(nIDNewItem);
        item.text = lpszNewItem != nullptr ? lpszNewItem : "";
    }
    m_items.push_back(std::move(item));
    return TRUE;
}

UINT CMenu::GetMenuItemID(int nPos) const {
    if (nPos < 0 || nPos >= GetMenuItemCount()) {
        return static_cast<UINT>(-1);
    }
    const MenuItem& item = m_items[nPos];
    return (item.separator || !item.popup.empty()) ? 0 : item.id;
}

std::string CMenu::GetMenuString(int nPos) const {
    if (nPos < 0 || nPos >= GetMenuItemCount()) {
        return {};
    }
    return m_items[nPos].text;
}

QMenu* CMenu::BuildQMenu(const std::vector<MenuItem>& items, HWND hOwner, QMenu* parent) const {
    auto* menu = new QMenu(parent);
    UINT message = m_bSystem ? WM_SYSCOMMAND : WM_COMMAND;
    for (const MenuItem& item : items) {
        QString text = QString::fromStdString(Gb2312ToUtf8(item.text));
        if (item.separator) {
            menu->addSeparator();
        } else if (!item.popup.empty()) {
            QMenu* sub = BuildQMenu(item.popup, hOwner, menu);
            sub->setTitle(text);
            menu->addMenu(sub);
        } else {
            UINT id = item.id;
            QAction* action = menu->addAction(text);
            action->setData(id);
            QObject::connect(action, &QAction::triggered, [hOwner, message, id] {
                // Posted, so the menu is gone before the command runs.
                PostMessage(hOwner, message, id, 0);
            });
        }
    }
    return menu;
}

BOOL CMenu::TrackPopupMenu(UINT /*nFlags*/, int x, int y, CWnd* pOwner) {
    if (m_items.empty() || pOwner == nullptr || pOwner->GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    QMenu* menu = BuildQMenu(m_items, pOwner->GetSafeHwnd(), nullptr);
    menu->setObjectName(kTrackedMenuObjectName);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QPoint(x, y));
    return TRUE;
}

BOOL GetCursorPos(POINT* pPoint) {
    if (pPoint == nullptr) {
        return FALSE;
    }
    QPoint pos = QCursor::pos();
    pPoint->x = pos.x();
    pPoint->y = pos.y();
    return TRUE;
}
