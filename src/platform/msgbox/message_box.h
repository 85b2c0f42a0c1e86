#pragma once
// Every message box of the recorder goes through one replaceable handler.
// On the user-interface thread the call waits for the handler's answer; on
// any other thread the box is handed to the handler asynchronously and the
// call returns IDOK at once, so a worker never stalls behind a dialog.

#include <functional>
#include <string>

constexpr unsigned MB_OK = 0x00000000u;
constexpr unsigned MB_OKCANCEL = 0x00000001u;
constexpr unsigned MB_YESNOCANCEL = 0x00000003u;
constexpr unsigned MB_YESNO = 0x00000004u;
constexpr unsigned MB_ICONERROR = 0x00000010u;
constexpr unsigned MB_ICONQUESTION = 0x00000020u;
constexpr unsigned MB_ICONWARNING = 0x00000030u;
constexpr unsigned MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr unsigned MB_ICONINFORMATION = 0x00000040u;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    unsigned type = MB_OK;
    bool fromWorkerThread = false;  // the caller did not wait for the answer
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows a box with the given caption. Returns the handler's answer on the
// user-interface thread, IDOK on any other thread.
int ShowMessageBox(const char* text, const char* caption, unsigned type = MB_OK);

// The application's own box: caption "Quorvalind".
int AfxMessageBox(const char* text, unsigned type = MB_OK);

// Prints the box on stderr, its GB2312 texts as UTF-8 for the console.
void PrintMessageBoxOnConsole(const MessageBoxRequest& request);

// Installs the handler; an empty one restores the default, which prints the
// box to stderr and answers IDOK (IDYES for yes/no boxes).
void SetMessageBoxHandler(MessageBoxHandler handler);

// Declares the calling thread the user-interface thread. Until some thread
// is declared, every thread counts as the user-interface thread.
void SetMessageBoxUiThread();

// Waits until every box asked for on a worker thread has reached the handler.
void FlushPendingMessageBoxes();

// While refused (the program is ending), no box reaches the handler: one
// asked for on the user-interface thread answers IDCANCEL at once, one from
// a worker is dropped; each is still printed on stderr.
void SetMessageBoxesRefused(bool refused);
