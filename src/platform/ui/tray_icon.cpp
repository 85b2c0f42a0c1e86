#include "platform/ui/tray_icon.h"

#include <QSystemTrayIcon>
#include <map>
#include <memory>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/window_registry.h"

namespace {

class QtTrayBackend : public ITrayBackend {
public:
    bool IsAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    bool Show(uintptr_t key, const TrayIconState& state, ClickSink onClick) override {
        if (!IsAvailable()) {
            return false;
        }
        auto& icon = m_icons[key];
        icon = std::make_unique<QSystemTrayIcon>(state.icon);
        icon->setToolTip(QString::fromStdString(state.tip));
        QObject::connect(icon.get(), &QSystemTrayIcon::activated,
                         [onClick](QSystemTrayIcon::ActivationReason reason) {
                             switch (reason) {
                                 case QSystemTrayIcon::DoubleClick:
                                     onClick(WM_LBUTTONDBLCLK);
                                     break;
                                 case QSystemTrayIcon::Context:
                                     onClick(WM_RBUTTONDOWN);
                                     break;
                                 case QSystemTrayIcon::Trigger:
                                     onClick(WM_LBUTTONDOWN);
                                     break;
                                 default:
                                     break;
                             }
                         });
        icon->show();
        return true;
    }

    bool Hide(uintptr_t key) override { return m_icons.erase(key) != 0; }

private:
    std::map<uintptr_t, std::unique_ptr<QSystemTrayIcon>> m_icons;
};

ITrayBackend* g_backend = nullptr;

ITrayBackend& Backend() {
    static QtTrayBackend desktop;
    return g_backend != nullptr ? *g_backend : desktop;
}

struct ShownIcon {
    HWND hWnd;
    UINT uID;
    UINT uCallbackMessage;
    TrayIconState state;
};
std::map<std::pair<HWND, UINT>, ShownIcon> g_shown;

uintptr_t KeyOf(HWND hWnd, UINT uID) {
    return (reinterpret_cast<uintptr_t>(hWnd) << 8) ^ uID;
}

bool ShowIcon(const ShownIcon& shown) {
    HWND hWnd = shown.hWnd;
    UINT uID = shown.uID;
    UINT message = shown.uCallbackMessage;
    return Backend().Show(KeyOf(hWnd, uID), shown.state, [hWnd, uID, message](UINT mouse) {
        if (message != 0) {
            PostMessage(hWnd, message, uID, static_cast<LPARAM>(mouse));
        }
    });
}

void Apply(ShownIcon& shown, const NOTIFYICONDATA& data) {
    if (data.uFlags & NIF_MESSAGE) {
        shown.uCallbackMessage = data.uCallbackMessage;
    }
    if ((data.uFlags & NIF_ICON) && data.hIcon != nullptr) {
        shown.state.icon = data.hIcon->icon;
    }
    if (data.uFlags & NIF_TIP) {
        size_t n = 0;
        while (n < sizeof data.szTip && data.szTip[n] != '\0') {
            ++n;
        }
        shown.state.tip = Gb2312ToUtf8(std::string_view(data.szTip, n));
    }
}

}  // namespace

void SetTrayBackend(ITrayBackend* backend) {
    g_backend = backend;
    g_shown.clear();
}

bool IsTrayAvailable() {
    return Backend().IsAvailable();
}

BOOL Shell_NotifyIcon(DWORD dwMessage, const NOTIFYICONDATA* pData) {
    if (pData == nullptr) {
        return FALSE;
    }
    auto key = std::make_pair(pData->hWnd, pData->uID);
    auto it = g_shown.find(key);
    switch (dwMessage) {
        case NIM_ADD: {
            if (it != g_shown.end() || !Backend().IsAvailable()) {
                return FALSE;
            }
            ShownIcon shown{pData->hWnd, pData->uID, 0, {}};
            Apply(shown, *pData);
            if (!ShowIcon(shown)) {
                return FALSE;
            }
            g_shown.emplace(key, std::move(shown));
            return TRUE;
        }
        case NIM_MODIFY:
            if (it == g_shown.end()) {
                return FALSE;
            }
            Apply(it->second, *pData);
            return ShowIcon(it->second) ? TRUE : FALSE;
        case NIM_DELETE:
            if (it == g_shown.end()) {
                return FALSE;
            }
            Backend().Hide(KeyOf(pData->hWnd, pData->uID));
            g_shown.erase(it);
            return TRUE;
        default:
            return FALSE;
    }
}
