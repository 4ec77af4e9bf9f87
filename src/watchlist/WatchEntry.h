#pragma once
#include <QString>

// One entry of the watch list, its texts as typed; id is its row's key.
struct TWatchEntry {
    qint64 id = 0;
    QString name;
    QString identityNumber;
    QString mobile;
    QString reason;
    QString added; // the time it was added
};
