#include "records/RecordExport.h"
#include "records/RecordExportWriters.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kXlsx = QStringLiteral(".xlsx");
const QString kCsv = QStringLiteral(".csv");

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The temporary file beside the target, open on the descriptor mkstemp gave;
// removed unless it was renamed into place.
class TemporaryBeside {
public:
    explicit TemporaryBeside(const QString& target) : name_(QFile::encodeName(target + QStringLiteral(".tmp-XXXXXX")))
    {
        fd_ = ::mkstemp(name_.data()); // mode 0600
        if (fd_ < 0)
            FailWithSystemError(errno);
    }
    ~TemporaryBeside()
    {
        ::close(fd_);
        if (!renamed_)
            ::unlink(name_.constData());
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    int fd() const { return fd_; }
    void renameTo(const QString& target)
    {
        if (std::rename(name_.constData(), QFile::encodeName(target).constData()) != 0)
            FailWithSystemError(errno);
        renamed_ = true;
    }

private:
    QByteArray name_;
    int fd_ = -1;
    bool renamed_ = false;
};

} // namespace

void FailWithSystemError(int error) { throw EExportError(QString::fromLocal8Bit(std::strerror(error))); }

void ExportSink::write(const char* data, size_t size)
{
    written_.addData(QByteArrayView(data, static_cast<qsizetype>(size)));
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            FailWithSystemError(n < 0 ? errno : ENOSPC);
        data += n;
        size -= static_cast<size_t>(n);
        size_ += n;
    }
}

void ExportSink::finish()
{
    if (::fsync(fd_) != 0)
        FailWithSystemError(errno);
    QCryptographicHash read(QCryptographicHash::Sha1);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    qint64 at = 0;
    for (;;) {
        const ssize_t n = ::pread(fd_, buffer.data(), static_cast<size_t>(buffer.size()), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            FailWithSystemError(errno);
        if (n == 0)
            break;
        read.addData(QByteArrayView(buffer.constData(), n));
        at += n;
    }
    if (at != size_ || read.result() != written_.result())
        throw EExportError(QStringLiteral("read back differs"), EExportError::Kind::Incomplete);
}

QString ExportFileName(const QString& chosenName, ExportFormat chosenType)
{
    if (chosenName.endsWith(kXlsx, Qt::CaseInsensitive) || chosenName.endsWith(kCsv, Qt::CaseInsensitive))
        return chosenName;
    return chosenName + (chosenType == ExportFormat::Xlsx ? kXlsx : kCsv);
}

ExportFormat ExportFormatOf(const QString& fileName)
{
    return fileName.endsWith(kCsv, Qt::CaseInsensitive) ? ExportFormat::Csv : ExportFormat::Xlsx;
}

ExportFormat ExportFormatFor(const QString& fileName, ExportFormat chosenType)
{
    if (ExportFormatOf(fileName) == ExportFormat::Xlsx)
        return ExportFormat::Xlsx;
    return chosenType == ExportFormat::Xlsx ? ExportFormat::SpreadsheetCsv : chosenType;
}

bool WriteExportRows(const ExportRows& rows, const ExportProgress& progress,
                     const std::function<void(const QStringList&)>& write)
{
    qsizetype written = 0;
    bool cancelled = false;
    rows.forEach([&](const QStringList& row) {
        write(row);
        ++written;
        if (written % kExportProgressStep == 0 && progress && !progress(written))
            cancelled = true;
        return !cancelled;
    });
    return !cancelled;
}

ExportOutcome ExportToFile(const QString& fileName, ExportFormat format, const ExportRows& rows,
                           const ExportProgress& progress)
{
    TemporaryBeside temporary(fileName);
    ExportSink sink(temporary.fd());
    const ExportOutcome outcome = format == ExportFormat::Xlsx
                                      ? WriteXlsxExport(sink, fileName, rows, progress)
                                      : WriteCsvExport(sink, rows, progress, format == ExportFormat::SpreadsheetCsv);
    if (!outcome.complete)
        return outcome;
    sink.finish();
    temporary.renameTo(fileName);
    syncFolder(QFileInfo(fileName).absolutePath());
    return outcome;
}

ExportOutcome ExportToFile(const QString& fileName, const ExportRows& rows, const ExportProgress& progress)
{
    return ExportToFile(fileName, ExportFormatOf(fileName), rows, progress);
}
