#include "shell/MessageBeep.h"

#include <QApplication>

namespace {
int beeps = 0;
}

void MessageBeep()
{
    ++beeps;
    QApplication::beep();
}

int MessageBeepCount() { return beeps; }
