#pragma once
// A tray for tests: remembers the icons shown and clicks them on request.

#include <map>

#include "platform/ui/tray_icon.h"

class FakeTray : public ITrayBackend {
public:
    bool available = true;

    bool IsAvailable() const override { return available; }
    bool Show(uintptr_t key, const TrayIconState& state, ClickSink onClick) override {
        m_icons[key] = Entry{state, std::move(onClick)};
        ++shows;
        return true;
    }
    bool Hide(uintptr_t key) override { return m_icons.erase(key) != 0; }

    size_t Count() const { return m_icons.size(); }
    // The only icon's state; call with exactly one shown.
    const TrayIconState& Only() const { return m_icons.begin()->second.state; }
    // Clicks every shown icon with the mouse message.
    void Click(UINT mouseMessage) {
        auto icons = m_icons;
        for (auto& [key, entry] : icons) {
            entry.onClick(mouseMessage);
        }
    }

    int shows = 0;

private:
    struct Entry {
        TrayIconState state;
        ClickSink onClick;
    };
    std::map<uintptr_t, Entry> m_icons;
};
