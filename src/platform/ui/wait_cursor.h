#pragma once
// Shows the wait cursor over the program's windows while it lives.

class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    void Restore();

private:
    bool m_bShown = false;
};
