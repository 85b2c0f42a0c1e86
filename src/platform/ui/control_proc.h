#pragma once
// The built-in behaviour of each kind of control: what a control does
// with a message nobody handled before it (its default window procedure).

#include <cstddef>
#include <string>

#include "platform/ui/win_types.h"

class CWnd;

LRESULT ControlDefWindowProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Per kind; each answers only the messages of its kind.
LRESULT ButtonProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT UpDownProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT PickerProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Copies text with its terminating zero into a caller's buffer of
// bufferSize bytes (cut to fit); returns the bytes copied without the zero.
LRESULT CopyTextOut(const std::string& text, char* buffer, size_t bufferSize);

class QWidget;
// A button's BS_ style as BM_SETSTYLE last gave it.
UINT GetButtonStyleOf(const QWidget* widget);
void SetInitialButtonStyle(QWidget* widget, UINT style);
