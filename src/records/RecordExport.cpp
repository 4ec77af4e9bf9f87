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

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool syncFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Removes the temporary file unless it was renamed into place.
class TemporaryBeside {
public:
    explicit TemporaryBeside(const QString& target) : name_(QFile::encodeName(target + QStringLiteral(".tmp-XXXXXX")))
    {
        const int fd = ::mkstemp(name_.data()); // mode 0600
        if (fd < 0)
            throw EExportError(systemError(errno));
        ::close(fd);
    }
    ~TemporaryBeside()
    {
        if (!renamed_)
            ::unlink(name_.constData());
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    const QByteArray& name() const { return name_; }
    void renameTo(const QString& target)
    {
        if (!syncFile(name_) || std::rename(name_.constData(), QFile::encodeName(target).constData()) != 0)
            throw EExportError(systemError(errno));
        renamed_ = true;
    }

private:
    QByteArray name_;
    bool renamed_ = false;
};

} // namespace

QString ExportFileName(const QString& chosenName, ExportFormat chosenType)
{
    if (chosenName.endsWith(kXlsx, Qt::CaseInsensitive) || chosenName.endsWith(kCsv, Qt::CaseInsensitive))
        return chosenName;
    return chosenName + (chosenType == ExportFormat::Csv ? kCsv : kXlsx);
}

ExportFormat ExportFormatOf(const QString& fileName)
{
    return fileName.endsWith(kCsv, Qt::CaseInsensitive) ? ExportFormat::Csv : ExportFormat::Xlsx;
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

bool ExportToFile(const QString& fileName, const ExportRows& rows, const ExportProgress& progress)
{
    TemporaryBeside temporary(fileName);
    const bool complete = ExportFormatOf(fileName) == ExportFormat::Csv
                              ? WriteCsvExport(temporary.name(), rows, progress)
                              : WriteXlsxExport(temporary.name(), rows, progress);
    if (!complete)
        return false;
    temporary.renameTo(fileName);
    syncFolder(QFileInfo(fileName).absolutePath());
    return true;
}
