#include "records/XlsxRead.h"

#include <QFile>
#include <QXmlStreamReader>
#include <cmath>
#include <memory>
#include <unzip.h>

namespace {

struct ZipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};

// A part of the workbook, inflated whole; empty when the part is missing.
QByteArray readPart(void* zip, const char* name)
{
    if (unzLocateFile(zip, name, 1) != UNZ_OK)
        return {};
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        throw EXlsxReadError(QStringLiteral("无法读取工作簿的%1").arg(QString::fromLatin1(name)));
    QByteArray part;
    char buffer[1 << 15];
    int n = 0;
    while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
        part.append(buffer, n);
    if (unzCloseCurrentFile(zip) != UNZ_OK || n < 0)
        throw EXlsxReadError(QStringLiteral("工作簿已损坏"));
    return part;
}

void failOnXmlError(const QXmlStreamReader& xml)
{
    if (xml.hasError())
        throw EXlsxReadError(QStringLiteral("工作簿已损坏: %1").arg(xml.errorString()));
}

// The text of an <si> or <is> element: its <t> runs joined.
QString runText(QXmlStreamReader& xml, QStringView end)
{
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"t")
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.isEndElement() && xml.name() == end)
            break;
    }
    return text;
}

QStringList sharedStrings(const QByteArray& part)
{
    QStringList strings;
    if (part.isEmpty())
        return strings; // a workbook of inline strings has none
    QXmlStreamReader xml(part);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings << runText(xml, u"si");
    }
    failOnXmlError(xml);
    return strings;
}

// The 0-based column of a reference such as "C12"; -1 without one.
int columnOf(QStringView reference)
{
    int column = 0;
    qsizetype letters = 0;
    for (; letters < reference.size() && reference[letters].isLetter() && letters < 3; ++letters)
        column = column * 26 + (reference[letters].toUpper().unicode() - u'A' + 1);
    return letters == 0 ? -1 : column - 1;
}

QString numberText(const QString& value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok && std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1e21)
        return QString::number(number, 'f', 0);
    return ok ? QString::number(number, 'g', 17) : value;
}

} // namespace

QList<QStringList> ReadXlsxRows(const QString& fileName)
{
    std::unique_ptr<void, ZipCloser> zip(unzOpen64(QFile::encodeName(fileName).constData()));
    if (!zip)
        throw EXlsxReadError(QStringLiteral("不是Excel工作簿(.xlsx)"));
    const QStringList strings = sharedStrings(readPart(zip.get(), "xl/sharedStrings.xml"));
    const QByteArray sheet = readPart(zip.get(), "xl/worksheets/sheet1.xml");
    if (sheet.isEmpty())
        throw EXlsxReadError(QStringLiteral("工作簿中没有工作表"));

    QList<QStringList> rows;
    QStringList row;
    QXmlStreamReader xml(sheet);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"row") {
            if (!rows.isEmpty() || !row.isEmpty())
                rows << row;
            row.clear();
        }
        if (!xml.isStartElement() || xml.name() != u"c")
            continue;
        const QString type = xml.attributes().value(QLatin1String("t")).toString();
        const int column = columnOf(xml.attributes().value(QLatin1String("r")));
        QString text;
        if (type == u"inlineStr") {
            text = runText(xml, u"c");
        } else {
            QString value;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"v")
                    value = xml.readElementText();
                else if (xml.isEndElement() && xml.name() == u"c")
                    break;
            }
            if (type == u"s")
                text = strings.value(value.toInt());
            else if (type.isEmpty() || type == u"n")
                text = numberText(value);
            else
                text = value;
        }
        const qsizetype at = column < 0 ? row.size() : column;
        while (row.size() < at)
            row << QString();
        if (row.size() == at)
            row << text;
        else
            row[at] = text;
    }
    failOnXmlError(xml);
    return rows;
}
