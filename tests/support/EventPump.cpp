#include "EventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

void pumpEvents(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    } while (clock.elapsed() < milliseconds);
}
