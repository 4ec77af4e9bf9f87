#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reading exported files back in tests.

// Records of an RFC 4180 CSV text (quoted fields may hold commas, quotes and
// line breaks; records end in CR LF, or in LF when lfEndsRecords).
QList<QStringList> ParseCsv(const QString& text, bool lfEndsRecords = false);

// The file opened in LibreOffice Calc headless (a CSV as UTF-8) and saved as
// plain UTF-8 CSV, read back. Calc's profile and output go under workFolder.
QList<QStringList> OpenedInCalc(const QString& file, const QString& workFolder);

// One entry of a zip file, through the unzip program.
QByteArray UnzipEntry(const QString& zip, const QString& entry);

// The cells of a worksheet written with inline strings.
struct ExportedSheet {
    QList<QStringList> cells;
    QStringList textTypes; // the t attribute of every cell holding text
    bool headerFrozen = false;
};
ExportedSheet ParseSheet(const QByteArray& xml);
