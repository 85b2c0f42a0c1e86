#pragma once
// Opens a file, a web address or a "mailto:" address with the desktop's
// default handler. As with the shell, nothing is reported back: when
// nothing handles it, nothing happens.

#include "platform/ui/win_types.h"

// A relative file name is taken from the current directory. nShowCmd is
// a wish the desktop may ignore.
void ShellOpen(const char* target, int nShowCmd);
