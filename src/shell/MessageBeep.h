#pragma once

// The system's message beep; the count lets tests hear it.
void MessageBeep();
int MessageBeepCount();
