#pragma once
#include <QString>
#include <QTemporaryDir>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// A fresh folder per test, removed afterwards.
class TempDir {
public:
    TempDir();
    QString path() const { return dir_.path(); }
    // The folder with a trailing separator, as the program names its folder.
    QString folder() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return folder() + name; }

private:
    QTemporaryDir dir_;
};
