#pragma once
// Menus from resources or built item by item, shown as pop-ups. A chosen
// item is posted to the owner window as WM_COMMAND (id, 0), or for the
// system menu as WM_SYSCOMMAND (id, 0).

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/resources.h"
#include "platform/ui/win_types.h"

class CWnd;
class QMenu;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;

class CMenu {
public:
    CMenu() = default;
    explicit CMenu(bool bSystem) : m_bSystem(bSystem) {}

    // FALSE when the resources hold no menu of that id.
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();
    // The popup at that position; null when the item is none.
    CMenu* GetSubMenu(int nPos);
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);
    int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
    // 0 for a separator or a popup, -1 past the end.
    UINT GetMenuItemID(int nPos) const;
    std::string GetMenuString(int nPos) const;

    // Shows the menu at (x, y) on the screen and returns at once; the
    // choice is posted to pOwner. FALSE when there is nothing to show.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pOwner);

private:
    QMenu* BuildQMenu(const std::vector<MenuItem>& items, HWND hOwner, QMenu* parent) const;

    bool m_bSystem = false;
    std::vector<MenuItem> m_items;
    std::vector<std::unique_ptr<CMenu>> m_subMenus;
};

// The object name of a menu shown by TrackPopupMenu, so tests find it.
constexpr const char* kTrackedMenuObjectName = "TrackedPopupMenu";

BOOL GetCursorPos(POINT* pPoint);
