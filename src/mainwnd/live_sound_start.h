#pragma once
// Starting and stopping the live sound output, kept in a file of its own:
// the sound and display stand-in headers cannot meet in one source file.

void StartLiveSound();
void StopLiveSound();
