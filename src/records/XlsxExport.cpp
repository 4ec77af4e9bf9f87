#include "records/RecordExportWriters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <unzip.h>
#include <vector>
#include <xlsxwriter.h>

namespace {

const char* const kSheetName = "访客登记";
const char* const kBookName = "/book.xlsx";
constexpr double kMinColumnWidth = 6;
constexpr double kMaxColumnWidth = 60;
constexpr double kLineHeight = 15;
constexpr double kMaxRowHeight = 409;
// The writer passes C strings, so a NUL goes in as the format's own escape,
// which counts as its seven characters against the limit.
const QString kNulEscape = QStringLiteral("_x0000_");

struct WorkbookFreer {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

[[noreturn]] void fail(lxw_error error) { throw EExportError(QString::fromUtf8(lxw_strerror(error))); }
[[noreturn]] void failIncomplete(const char* what)
{
    throw EExportError(QString::fromLatin1(what), EExportError::Kind::Incomplete);
}

// Width in spreadsheet character units: a CJK character takes two.
double displayWidth(const QString& text)
{
    double width = 0;
    for (QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

int lineCount(const QString& text) { return static_cast<int>(text.count(QLatin1Char('\n'))) + 1; }

// A character's length against the format's limit, in UTF-16 units.
qsizetype cellLength(QChar c) { return c.isNull() ? kNulEscape.size() : 1; }

// The cell as the writer takes it: NULs escaped, and cut with the mark when
// longer than the format allows.
QString cellText(const QString& text, const QString& cutMark, bool& cut)
{
    qsizetype length = 0;
    for (QChar c : text)
        length += cellLength(c);
    cut = length > kXlsxCellMaxChars;
    if (!cut && !text.contains(QChar(0)))
        return text;
    const qsizetype budget = cut ? kXlsxCellMaxChars - cutMark.size() : length;
    QString out;
    length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pair = c.isHighSurrogate() && i + 1 < text.size();
        length += pair ? 2 : cellLength(c);
        if (length > budget)
            break;
        if (c.isNull())
            out += kNulEscape;
        else
            out += text.mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
    }
    return cut ? out + cutMark : out;
}

class SheetWriter {
public:
    SheetWriter(lxw_workbook* workbook, qsizetype columns, QString cutMark)
        : sheet_(workbook_add_worksheet(workbook, kSheetName)), widths_(static_cast<size_t>(columns), 0),
          cutMark_(std::move(cutMark))
    {
        if (!sheet_)
            throw EExportError(QStringLiteral("worksheet"));
        // Cells are strings in the text format, so a value typed over them
        // later is text too, never a formula.
        text_ = workbook_add_format(workbook);
        format_set_num_format(text_, "@");
        wrapped_ = workbook_add_format(workbook);
        format_set_num_format(wrapped_, "@");
        format_set_text_wrap(wrapped_);
        format_set_align(wrapped_, LXW_ALIGN_VERTICAL_TOP);
        header_ = workbook_add_format(workbook);
        format_set_num_format(header_, "@");
        format_set_bold(header_);
    }

    void writeRow(lxw_row_t row, const QStringList& cells, bool header)
    {
        const lxw_col_t count =
            static_cast<lxw_col_t>(std::min<size_t>(widths_.size(), static_cast<size_t>(cells.size())));
        int lines = 1;
        for (lxw_col_t col = 0; col < count; ++col)
            lines = std::max(lines, lineCount(cells[col]));
        bool written = false;
        if (lines > 1) {
            check(worksheet_set_row(sheet_, row, std::min(kLineHeight * lines, kMaxRowHeight), nullptr));
            written = true;
        }
        for (lxw_col_t col = 0; col < count; ++col) {
            bool cut = false;
            const QString text = cellText(cells[col], cutMark_, cut);
            cutCells_ += cut ? 1 : 0;
            if (text.isEmpty())
                continue;
            widths_[col] = std::max(widths_[col], displayWidth(text.left(static_cast<qsizetype>(kMaxColumnWidth))));
            lxw_format* format = header ? header_ : text.contains(QLatin1Char('\n')) ? wrapped_ : text_;
            check(worksheet_write_string(sheet_, row, col, text.toUtf8().constData(), format));
            written = true;
        }
        rowsWritten_ += written ? 1 : 0;
    }

    void finish()
    {
        worksheet_freeze_panes(sheet_, 1, 0);
        for (size_t col = 0; col < widths_.size(); ++col) {
            const double width = std::clamp(widths_[col] + 1, kMinColumnWidth, kMaxColumnWidth);
            check(worksheet_set_column(sheet_, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), width, text_));
        }
    }

    qsizetype cutCells() const { return cutCells_; }
    // Rows that hold a cell or a height: each is one row element of the sheet.
    qsizetype rowsWritten() const { return rowsWritten_; }

private:
    static void check(lxw_error error)
    {
        if (error != LXW_NO_ERROR)
            fail(error);
    }

    lxw_worksheet* sheet_;
    lxw_format* text_ = nullptr;
    lxw_format* wrapped_ = nullptr;
    lxw_format* header_ = nullptr;
    std::vector<double> widths_;
    QString cutMark_;
    qsizetype cutCells_ = 0;
    qsizetype rowsWritten_ = 0;
};

// A folder of this user's only, beside the target, where the writer builds
// the workbook and keeps its temporary files: on the target's disk, and no
// one else can put a name in it.
class WorkFolder {
public:
    explicit WorkFolder(const QString& stem) : path_(QFile::encodeName(stem + QStringLiteral(".work-XXXXXX")))
    {
        if (!::mkdtemp(path_.data()))
            FailWithSystemError(errno);
    }
    ~WorkFolder()
    {
        closeLeftOpen();
        ::unlink(book().constData());
        ::rmdir(path_.constData());
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    QByteArray& path() { return path_; }
    QByteArray book() const { return path_ + kBookName; }

private:
    // When closing the workbook fails the writer leaves some of its temporary
    // files open; they are all in this folder, so a descriptor still into it
    // is one of them.
    void closeLeftOpen() const
    {
        const QString inside = QFile::decodeName(path_) + QLatin1Char('/');
        const QDir descriptors(QStringLiteral("/proc/self/fd"));
        for (const QString& fd : descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            if (QFileInfo(descriptors.filePath(fd)).symLinkTarget().startsWith(inside))
                ::close(fd.toInt());
    }

    QByteArray path_;
};

struct FdCloser {
    void operator()(const int* fd) const { ::close(*fd); }
};

struct ZipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};

// Counts "<row " in a stream of sheet XML (cell text never holds '<') and
// keeps the stream's end.
class PartScan {
public:
    void add(const char* data, int size)
    {
        const QByteArray window = carry_ + QByteArray(data, size);
        rows_ += window.count("<row ");
        carry_ = window.right(4);
        tail_ = (tail_ + window.right(32)).right(32);
    }
    qsizetype rows() const { return rows_; }
    bool endsWith(const char* end) const { return tail_.trimmed().endsWith(end); }

private:
    QByteArray carry_;
    QByteArray tail_;
    qsizetype rows_ = 0;
};

// Reads the built workbook back: every part inflates with its checksum, none
// is empty, each XML part ends in a closing tag, and the sheet holds all rows.
// The writer ignores failed writes to its temporary files, so this is what
// finds a workbook made on a disk that filled up.
void verifyWorkbook(const QByteArray& book, qsizetype rows)
{
    std::unique_ptr<void, ZipCloser> zip(unzOpen64(book.constData()));
    if (!zip)
        failIncomplete("not a zip");
    int parts = 0;
    bool sheetSeen = false;
    std::vector<char> buffer(1 << 16);
    for (int at = unzGoToFirstFile(zip.get()); at == UNZ_OK; at = unzGoToNextFile(zip.get())) {
        char name[256] = {};
        if (unzGetCurrentFileInfo64(zip.get(), nullptr, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK
            || unzOpenCurrentFile(zip.get()) != UNZ_OK)
            failIncomplete("unreadable part");
        const bool sheet = std::strcmp(name, "xl/worksheets/sheet1.xml") == 0;
        PartScan counter;
        qint64 size = 0;
        int n = 0;
        while ((n = unzReadCurrentFile(zip.get(), buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) {
            counter.add(buffer.data(), n);
            size += n;
        }
        if (unzCloseCurrentFile(zip.get()) != UNZ_OK || n < 0 || size == 0)
            failIncomplete("damaged part");
        const QByteArray partName(name);
        if ((partName.endsWith(".xml") || partName.endsWith(".rels")) && !counter.endsWith(">"))
            failIncomplete("cut part");
        if (sheet && (!counter.endsWith("</worksheet>") || counter.rows() != rows))
            failIncomplete("rows missing");
        sheetSeen = sheetSeen || sheet;
        ++parts;
    }
    if (!sheetSeen || parts < 5)
        failIncomplete("parts missing");
}

void copyInto(ExportSink& sink, const QByteArray& book)
{
    const int fd = ::open(book.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        FailWithSystemError(errno);
    const std::unique_ptr<const int, FdCloser> closer(&fd);
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            FailWithSystemError(errno);
        if (n == 0)
            return;
        sink.write(buffer.data(), static_cast<size_t>(n));
    }
}

} // namespace

ExportOutcome WriteXlsxExport(ExportSink& sink, const QString& workStem, const ExportRows& rows,
                              const ExportProgress& progress)
{
    WorkFolder work(workStem);
    // Rows stream through a temporary file, so memory stays flat for any count.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = work.path().data();
    options.use_zip64 = LXW_TRUE;
    std::unique_ptr<lxw_workbook, WorkbookFreer> workbook(workbook_new_opt(work.book().constData(), &options));
    if (!workbook)
        throw EExportError(QStringLiteral("workbook"));

    SheetWriter sheet(workbook.get(), rows.header.size(), rows.cutMark);
    sheet.writeRow(0, rows.header, true);
    lxw_row_t next = 1;
    const bool complete =
        WriteExportRows(rows, progress, [&](const QStringList& row) { sheet.writeRow(next++, row, false); });
    if (!complete)
        return ExportOutcome{};
    sheet.finish();
    const lxw_error error = workbook_close(workbook.release()); // frees the workbook too
    if (error != LXW_NO_ERROR)
        fail(error);
    verifyWorkbook(work.book(), sheet.rowsWritten());
    copyInto(sink, work.book());
    return ExportOutcome{true, sheet.cutCells()};
}
