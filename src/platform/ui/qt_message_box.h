#pragma once
// The application's message boxes as QMessageBox windows. A box asked for
// on the user-interface thread is modal and returns the answer (IDCANCEL
// when the program's end cuts it short); a box from a worker thread (handed
// over by the message-box dispatcher) is queued to the user-interface
// thread and shown there on top of every other window but without a modal
// loop, so neither the worker nor the dispatcher waits for the user.

// Call on the user-interface thread once the application object exists:
// makes it the message-box user-interface thread and installs the handler.
void InstallQtMessageBoxHandler();

// The object name of every box shown, so tests find them.
constexpr const char* kMessageBoxObjectName = "QvMessageBox";
