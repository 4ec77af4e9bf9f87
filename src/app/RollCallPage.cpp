#include "app/RollCallPage.h"
#include "app/FeatureTexts.h"
#include "app/PrintedPage.h"

#include <QPageSize>
#include <array>

namespace {

// Tenths of a millimetre.
constexpr double kTitleHeight = 70;
constexpr double kLineHeight = 50;
constexpr double kRowHeight = 80;
constexpr double kFooterHeight = 50;
constexpr double kCellPadding = 15;
constexpr double kTickBox = 45;

struct Column {
    QString caption;
    double share; // of the table's width
    Qt::Alignment alignment;
};

std::array<Column, 7> columns()
{
    return {{{FeatureTexts::RollCallNumberColumn(), 0.06, Qt::AlignHCenter},
             {FeatureTexts::RollCallNameColumn(), 0.15, Qt::AlignLeft},
             {FeatureTexts::RollCallCategoryColumn(), 0.13, Qt::AlignLeft},
             {FeatureTexts::RollCallArrivalColumn(), 0.21, Qt::AlignLeft},
             {FeatureTexts::RollCallReasonColumn(), 0.20, Qt::AlignLeft},
             {FeatureTexts::RollCallMobileColumn(), 0.16, Qt::AlignLeft},
             {FeatureTexts::RollCallTickColumn(), 0.09, Qt::AlignHCenter}}};
}

void drawRow(PrintedPage& page, double top, const QStringList& cells, const QFont& font, bool tickBox)
{
    QPainter& painter = page.Painter();
    double left = 0;
    const auto all = columns();
    for (size_t i = 0; i < all.size(); ++i) {
        const double width = all[i].share * page.Width();
        const QRectF cell(left, top, width, kRowHeight);
        painter.drawRect(cell);
        if (i + 1 == all.size() && tickBox) {
            painter.drawRect(
                QRectF(cell.center().x() - kTickBox / 2, cell.center().y() - kTickBox / 2, kTickBox, kTickBox));
        } else if (static_cast<qsizetype>(i) < cells.size()) {
            page.Text(cell.adjusted(kCellPadding, 0, -kCellPadding, 0), cells[static_cast<qsizetype>(i)], font,
                      all[i].alignment);
        }
        left += width;
    }
}

} // namespace

QPageLayout RollCallPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

bool PaintRollCall(QPagedPaintDevice& device, const QList<RollCallEntry>& entries, const QString& printedAt,
                   const QString& siteName)
{
    PrintedPage page(device);
    if (!page.Begun())
        return false;
    QPainter& painter = page.Painter();
    painter.setPen(QPen(Qt::black, 3));
    const QFont titleFont = PrintedPage::Font(kTitleHeight * 0.7, true);
    const QFont lineFont = PrintedPage::Font(kLineHeight * 0.7);
    const QFont cellFont = PrintedPage::Font(kRowHeight * 0.45);
    const QFont headFont = PrintedPage::Font(kRowHeight * 0.45, true);

    const double firstPageTop = kTitleHeight + 2 * kLineHeight;
    const double tableBottom = page.Height() - kFooterHeight;
    const int rowsOnFirst = std::max(1, static_cast<int>((tableBottom - firstPageTop) / kRowHeight) - 1);
    const int rowsOnOthers = std::max(1, static_cast<int>(tableBottom / kRowHeight) - 1);
    const qsizetype count = entries.size();
    const int pages =
        count <= rowsOnFirst ? 1 : 1 + static_cast<int>((count - rowsOnFirst + rowsOnOthers - 1) / rowsOnOthers);

    QStringList head;
    for (const Column& column : columns())
        head << column.caption;

    qsizetype next = 0;
    for (int pageNumber = 1; pageNumber <= pages; ++pageNumber) {
        double top = 0;
        if (pageNumber == 1) {
            const QString title = siteName.trimmed().isEmpty()
                                      ? FeatureTexts::RollCallTitle()
                                      : siteName.trimmed() + QStringLiteral("  ") + FeatureTexts::RollCallTitle();
            page.Text(QRectF(0, 0, page.Width(), kTitleHeight), title, titleFont, Qt::AlignHCenter);
            page.Text(QRectF(0, kTitleHeight, page.Width(), kLineHeight),
                      FeatureTexts::RollCallSummary(printedAt, static_cast<int>(count)), lineFont);
            top = firstPageTop;
        } else if (!page.NewPage()) {
            return false;
        }
        painter.fillRect(QRectF(0, top, page.Width(), kRowHeight), QColor(225, 225, 225));
        drawRow(page, top, head, headFont, false);
        top += kRowHeight;
        const int rows = pageNumber == 1 ? rowsOnFirst : rowsOnOthers;
        for (int r = 0; r < rows && next < count; ++r, ++next) {
            const RollCallEntry& e = entries[next];
            drawRow(page, top, {QString::number(next + 1), e.name, e.category, e.arrival, e.reason, e.mobile}, cellFont,
                    true);
            top += kRowHeight;
        }
        page.Text(QRectF(0, tableBottom, page.Width(), kFooterHeight), FeatureTexts::PageOf(pageNumber, pages),
                  lineFont, Qt::AlignHCenter);
    }
    return page.End();
}
