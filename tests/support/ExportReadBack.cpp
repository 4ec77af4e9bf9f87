#include "ExportReadBack.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

// RFC 4180 reader: quoted fields may hold commas, quotes and line breaks.
QList<QStringList> ParseCsv(const QString& text, bool lfEndsRecords)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
        } else if ((c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                   || (lfEndsRecords && c == QLatin1Char('\n'))) {
            record << field;
            records << record;
            record.clear();
            field.clear();
            i += c == QLatin1Char('\r') ? 1 : 0;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && record.isEmpty()) << "the last record must end in CR LF";
    return records;
}

QList<QStringList> OpenedInCalc(const QString& file, const QString& workFolder)
{
    const QString out = workFolder + QStringLiteral("/calc-out");
    QStringList arguments = {QStringLiteral("-env:UserInstallation=file://") + workFolder
                                 + QStringLiteral("/calc-profile"),
                             QStringLiteral("--headless")};
    if (file.endsWith(QStringLiteral(".csv")))
        arguments << QStringLiteral("--infilter=CSV:44,34,76,1");
    arguments << QStringLiteral("--convert-to") << QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1")
              << QStringLiteral("--outdir") << out << file;
    QProcess calc;
    calc.start(QStringLiteral("soffice"), arguments);
    EXPECT_TRUE(calc.waitForFinished(300000)) << "soffice (libreoffice-calc-nogui) did not run";
    EXPECT_EQ(calc.exitCode(), 0) << calc.readAllStandardError().toStdString();
    QFile converted(out + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QStringLiteral(".csv"));
    EXPECT_TRUE(converted.open(QIODevice::ReadOnly)) << converted.fileName().toStdString();
    QList<QStringList> records = ParseCsv(QString::fromUtf8(converted.readAll()), true);
    converted.remove();
    return records;
}

QByteArray UnzipEntry(const QString& zip, const QString& entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, entry});
    EXPECT_TRUE(unzip.waitForFinished(60000));
    EXPECT_EQ(unzip.exitCode(), 0) << entry.toStdString();
    return unzip.readAllStandardOutput();
}

// Characters XML cannot hold are written as _xHHHH_, as spreadsheet programs read them.
QString DecodeXmlEscapes(const QString& text)
{
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from);
        out += QChar(static_cast<char16_t>(m.captured(1).toUShort(nullptr, 16)));
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

ExportedSheet ParseSheet(const QByteArray& xml)
{
    ExportedSheet sheet;
    QString cellType;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("row")) {
            sheet.cells.append(QStringList());
        } else if (reader.name() == QLatin1String("pane")) {
            const auto a = reader.attributes();
            sheet.headerFrozen = a.value(QLatin1String("ySplit")) == QLatin1String("1")
                                 && a.value(QLatin1String("state")) == QLatin1String("frozen");
        } else if (reader.name() == QLatin1String("c")) {
            const QString ref = reader.attributes().value(QLatin1String("r")).toString();
            cellType = reader.attributes().value(QLatin1String("t")).toString();
            const qsizetype column = ref.at(0).unicode() - 'A';
            while (sheet.cells.last().size() < column)
                sheet.cells.last() << QString();
            sheet.cells.last() << QString();
        } else if (reader.name() == QLatin1String("t")) {
            sheet.cells.last().last() = DecodeXmlEscapes(reader.readElementText());
            sheet.textTypes << cellType;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return sheet;
}
