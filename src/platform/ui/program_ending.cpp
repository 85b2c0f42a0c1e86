#include "platform/ui/program_ending.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/msgbox/message_box.h"

namespace {

std::atomic<bool> g_bEnding{false};
// Open runs, outermost first.
std::vector<CModalRun*> g_runs;

}  // namespace

void CModalRun::CutInnermost() {
    if (g_runs.empty()) {
        return;
    }
    CModalRun* run = g_runs.back();
    if (run->m_bCut) {
        return;
    }
    run->m_bCut = true;
    if (run->m_cutShort) {
        run->m_cutShort();
    }
}

bool IsProgramEnding() {
    return g_bEnding.load();
}

bool BeginProgramEnding() {
    if (g_bEnding.exchange(true)) {
        return false;
    }
    SetMessageBoxesRefused(true);
    CModalRun::CutInnermost();
    return true;
}

CModalRun::CModalRun(std::function<void()> cutShort) : m_cutShort(std::move(cutShort)) {
    g_runs.push_back(this);
}

CModalRun::~CModalRun() {
    g_runs.erase(std::remove(g_runs.begin(), g_runs.end(), this), g_runs.end());
    if (!g_bEnding.load()) {
        return;
    }
    if (g_runs.empty()) {
        // The outermost run is over: what comes after it runs as usual.
        g_bEnding = false;
        SetMessageBoxesRefused(false);
    } else {
        CModalRun::CutInnermost();
    }
}
