#pragma once
// The setup dialog frame's table of cases, run on any dialog built on it:
// each case a row of user acts, the answers to "Setting is changed! Back
// to save?", the dialog's result and whether the live slice then holds
// the change.

#include <functional>
#include <vector>

#include "dialog_input.h"
#include "platform/msgbox/message_box.h"
#include "support/modal_step.h"
#include "support/scripted_message_boxes.h"

enum class FrameAct { Change, ChangeAgain, Save, Exit, Esc, StillOpenAndChanged };

struct FrameCase {
    const char* name;
    std::vector<FrameAct> acts;
    std::vector<int> answers;
    INT_PTR result;
    bool saved;
};

// The frame's own rows (Exit with and without a Save, the question
// answered both ways), then a dialog's rows for its departures.
inline std::vector<FrameCase> FrameCasesWith(std::vector<FrameCase> departures) {
    using A = FrameAct;
    std::vector<FrameCase> cases = {
        {"open, Exit", {A::Exit}, {}, IDCANCEL, false},
        {"change, Exit, No", {A::Change, A::Exit}, {IDNO}, IDCANCEL, false},
        {"change, Exit, Yes",
         {A::Change, A::Exit, A::StillOpenAndChanged, A::Exit},
         {IDYES, IDNO},
         IDCANCEL,
         false},
        {"change, Save, Exit", {A::Change, A::Save, A::Exit}, {}, IDOK, true},
        {"change, Save, change, Exit, No",
         {A::Change, A::Save, A::ChangeAgain, A::Exit},
         {IDNO},
         IDOK,
         true},
    };
    cases.insert(cases.end(), departures.begin(), departures.end());
    return cases;
}

// Plays the acts every dialog plays alike: Save (its button saveId), Exit
// and Esc. False for the acts that are the dialog's own.
inline bool PlaySaveExitOrEsc(CWnd& dlg, FrameAct act, int saveId) {
    switch (act) {
        case FrameAct::Save:
            Click(dlg, saveId);
            return true;
        case FrameAct::Exit:
            Click(dlg, IDOK);
            return true;
        case FrameAct::Esc:
            PressKey(dlg.GetWidget(), Qt::Key_Escape);
            return true;
        default:
            return false;
    }
}

// resetLive puts the live slice back before each case; act plays one act
// on the dialog; liveIs tells whether the live slice is the saved (true) or
// the original (false) one, byte for byte.
template <typename Dialog>
void RunFrameCases(const std::vector<FrameCase>& cases, const std::function<void()>& resetLive,
                   const std::function<void(Dialog&, FrameAct)>& act,
                   const std::function<bool(bool saved)>& liveIs) {
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        resetLive();
        ScriptedMessageBoxes boxes;
        for (int answer : c.answers) {
            boxes.Expect({"Setting is changed! Back to save?", answer, "Quorvalind",
                          MB_YESNO | MB_ICONQUESTION});
        }
        Dialog dlg;
        EXPECT_EQ(RunModalWith(dlg,
                               [&dlg, &c, &act] {
                                   for (FrameAct a : c.acts) {
                                       act(dlg, a);
                                   }
                               }),
                  c.result);
        EXPECT_TRUE(liveIs(c.saved));
    }
}
