#include "records/RecordExportWriters.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr qsizetype kFlushSize = 1 << 20;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// RFC 4180: a field holding a comma, a quote or a line break is quoted, its
// quotes doubled.
void appendField(QByteArray& line, const QString& field)
{
    const QByteArray bytes = field.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n')) {
        line += '"';
        for (char c : bytes) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    } else {
        line += bytes;
    }
}

void appendRecord(QByteArray& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, fields[i]);
    }
    out += "\r\n";
}

void writeOut(std::FILE* file, QByteArray& buffer)
{
    if (std::fwrite(buffer.constData(), 1, static_cast<size_t>(buffer.size()), file)
        != static_cast<size_t>(buffer.size()))
        throw EExportError(QString::fromLocal8Bit(std::strerror(errno)));
    buffer.clear();
}

} // namespace

bool WriteCsvExport(const QByteArray& path, const ExportRows& rows, const ExportProgress& progress)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.constData(), "wb"));
    if (!file)
        throw EExportError(QString::fromLocal8Bit(std::strerror(errno)));
    // The byte-order mark makes the spreadsheets used in China read UTF-8.
    QByteArray buffer("\xEF\xBB\xBF");
    appendRecord(buffer, rows.header);
    const bool complete = WriteExportRows(rows, progress, [&](const QStringList& row) {
        appendRecord(buffer, row);
        if (buffer.size() >= kFlushSize)
            writeOut(file.get(), buffer);
    });
    if (!complete)
        return false;
    writeOut(file.get(), buffer);
    if (std::fflush(file.get()) != 0)
        throw EExportError(QString::fromLocal8Bit(std::strerror(errno)));
    std::FILE* f = file.release();
    if (std::fclose(f) != 0)
        throw EExportError(QString::fromLocal8Bit(std::strerror(errno)));
    return true;
}
