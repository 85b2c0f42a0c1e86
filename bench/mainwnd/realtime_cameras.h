#pragma once
// Synthetic cameras that deliver pictures in real time, behind plain
// functions (the capture stand-in's headers cannot meet the display and
// sound stand-ins' in one source file).

void InstallRealtimeCameras(int count, int fps);
void RemoveRealtimeCameras();
