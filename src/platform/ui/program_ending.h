#pragma once
// The program's end while modal windows are open (a setup dialog, the
// About box, a message box). Once the program is told to end, every open
// modal run returns at once, innermost first, without its Exit or Esc
// handlers, and no new one opens: nobody is left to answer them, and the
// code after each run still finds the engine running. The main window is
// the outermost run; its own exit follows when its run has returned. The
// state lasts until the outermost run has closed (with no run open, for
// the rest of the process).
//
// User-interface thread only, except IsProgramEnding.

#include <functional>

bool IsProgramEnding();

// Marks the program as ending, refuses message boxes from here on and cuts
// short the innermost open run; each run that closes while the program
// ends cuts short the next one out. False when the program was ending
// already: the caller has nothing more to do.
bool BeginProgramEnding();

// One modal run (a dialog's loop, a message box's) for the object's life,
// which covers the whole run. cutShort makes the run's loop return; it is
// called at most once, when the program ends while this is the innermost
// open run.
class CModalRun {
public:
    explicit CModalRun(std::function<void()> cutShort);
    ~CModalRun();
    CModalRun(const CModalRun&) = delete;
    CModalRun& operator=(const CModalRun&) = delete;

private:
    // Cuts short the innermost open run, once.
    static void CutInnermost();
    friend bool BeginProgramEnding();

    std::function<void()> m_cutShort;
    bool m_bCut = false;
};
