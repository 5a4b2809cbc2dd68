#pragma once
// Shows the wait cursor while a server operation runs. Guards nest: the cursor goes back when the outermost one
// ends. Only the UI thread has a cursor; made on another thread (a worker) the guard does nothing.

class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Removes the wait cursor before the guard ends (for a step that must run with the normal cursor, such as a
    // message box); later calls and the destructor do nothing more.
    void Release();

private:
    bool m_fShown = false;
};
