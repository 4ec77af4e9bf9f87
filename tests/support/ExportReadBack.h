#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reading exported files back in tests.

// Records of an RFC 4180 CSV text (quoted fields may hold commas, quotes and
// line breaks; records end in CR LF).
QList<QStringList> ParseCsv(const QString& text);

// One entry of a zip file, through the unzip program.
QByteArray UnzipEntry(const QString& zip, const QString& entry);

// The cells of a worksheet written with inline strings.
struct ExportedSheet {
    QList<QStringList> cells;
    QStringList textTypes; // the t attribute of every cell holding text
    bool headerFrozen = false;
};
ExportedSheet ParseSheet(const QByteArray& xml);
