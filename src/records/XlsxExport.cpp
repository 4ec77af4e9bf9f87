#include "records/RecordExportWriters.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <memory>
#include <vector>
#include <xlsxwriter.h>

namespace {

const char* const kSheetName = "访客登记";
constexpr double kMinColumnWidth = 6;
constexpr double kMaxColumnWidth = 60;

struct WorkbookFreer {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

[[noreturn]] void fail(lxw_error error) { throw EExportError(QString::fromUtf8(lxw_strerror(error))); }

// Width in spreadsheet character units: a CJK character takes two.
double displayWidth(const QString& text)
{
    double width = 0;
    for (QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

class SheetWriter {
public:
    SheetWriter(lxw_workbook* workbook, qsizetype columns)
        : sheet_(workbook_add_worksheet(workbook, kSheetName)), widths_(static_cast<size_t>(columns), 0)
    {
        if (!sheet_)
            throw EExportError(QStringLiteral("worksheet"));
        // Cells are strings; the columns' text format keeps a value typed
        // into the sheet later as text too.
        text_ = workbook_add_format(workbook);
        format_set_num_format(text_, "@");
        header_ = workbook_add_format(workbook);
        format_set_num_format(header_, "@");
        format_set_bold(header_);
    }

    void writeRow(lxw_row_t row, const QStringList& cells, bool header)
    {
        const lxw_col_t count =
            static_cast<lxw_col_t>(std::min<size_t>(widths_.size(), static_cast<size_t>(cells.size())));
        for (lxw_col_t col = 0; col < count; ++col) {
            const QString& text = cells[col];
            widths_[col] = std::max(widths_[col], displayWidth(text));
            const lxw_error error =
                worksheet_write_string(sheet_, row, col, text.toUtf8().constData(), header ? header_ : nullptr);
            if (error != LXW_NO_ERROR)
                fail(error);
        }
    }

    void finish()
    {
        worksheet_freeze_panes(sheet_, 1, 0);
        for (size_t col = 0; col < widths_.size(); ++col) {
            const double width = std::clamp(widths_[col] + 1, kMinColumnWidth, kMaxColumnWidth);
            worksheet_set_column(sheet_, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), width, text_);
        }
    }

private:
    lxw_worksheet* sheet_;
    lxw_format* text_ = nullptr;
    lxw_format* header_ = nullptr;
    std::vector<double> widths_;
};

} // namespace

bool WriteXlsxExport(const QByteArray& path, const ExportRows& rows, const ExportProgress& progress)
{
    // Rows stream through a temporary file, so memory stays flat for any count.
    QByteArray tmpdir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir.data();
    options.use_zip64 = LXW_TRUE;
    std::unique_ptr<lxw_workbook, WorkbookFreer> workbook(workbook_new_opt(path.constData(), &options));
    if (!workbook)
        throw EExportError(QStringLiteral("workbook"));

    SheetWriter sheet(workbook.get(), rows.header.size());
    sheet.writeRow(0, rows.header, true);
    lxw_row_t next = 1;
    const bool complete =
        WriteExportRows(rows, progress, [&](const QStringList& row) { sheet.writeRow(next++, row, false); });
    if (!complete)
        return false;
    sheet.finish();
    const lxw_error error = workbook_close(workbook.release()); // frees the workbook too
    if (error != LXW_NO_ERROR)
        fail(error);
    return true;
}
