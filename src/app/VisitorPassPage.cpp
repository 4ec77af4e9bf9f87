#include "app/VisitorPassPage.h"
#include "app/FeatureTexts.h"
#include "app/PassText.h"
#include "app/PrintedPage.h"
#include "app/QrCode.h"

#include <QPageSize>

namespace {
// Tenths of a millimetre.
constexpr double kSiteHeight = 55;
constexpr double kTitleHeight = 80;
constexpr double kLineHeight = 60;
constexpr double kGap = 30;
constexpr double kLargestCode = 450;
constexpr double kCaptionShare = 0.3;
} // namespace

QPageLayout VisitorPassPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A6), QPageLayout::Portrait, QMarginsF(6, 6, 6, 6), QPageLayout::Millimeter);
}

bool PaintVisitorPass(QPagedPaintDevice& device, const VisitorPass& pass)
{
    const QString passText = pass.siteId.isEmpty() ? PassText::ForRecord(pass.recordNumber)
                                                   : PassText::ForSiteRecord(pass.recordNumber, pass.siteId);
    const QrCode code(passText.toLatin1());
    PrintedPage page(device);
    if (!page.Begun())
        return false;
    const double width = page.Width();
    double top = 0;
    if (!pass.siteName.trimmed().isEmpty()) {
        page.Text(QRectF(0, top, width, kSiteHeight), pass.siteName.trimmed(), PrintedPage::Font(kSiteHeight * 0.7),
                  Qt::AlignHCenter);
        top += kSiteHeight;
    }
    page.Text(QRectF(0, top, width, kTitleHeight), FeatureTexts::PassTitle(),
              PrintedPage::Font(kTitleHeight * 0.75, true), Qt::AlignHCenter);
    top += kTitleHeight + kGap / 2;
    page.Painter().setPen(QPen(Qt::black, 3));
    page.Painter().drawLine(QPointF(0, top), QPointF(width, top));
    top += kGap / 2;

    const QFont captionFont = PrintedPage::Font(kLineHeight * 0.55, true);
    const QFont valueFont = PrintedPage::Font(kLineHeight * 0.55);
    const QList<std::pair<QString, QString>> lines{{FeatureTexts::PassNameCaption(), pass.name},
                                                   {FeatureTexts::PassCategoryCaption(), pass.category},
                                                   {FeatureTexts::PassReasonCaption(), pass.reason},
                                                   {FeatureTexts::PassArrivalCaption(), pass.arrival}};
    for (const auto& [caption, value] : lines) {
        page.Text(QRectF(0, top, width * kCaptionShare, kLineHeight), caption, captionFont);
        page.Text(QRectF(width * kCaptionShare, top, width * (1 - kCaptionShare), kLineHeight), value, valueFont);
        top += kLineHeight;
    }

    // The code takes what is left above the pass text and the hint, up to a
    // size that any scanner reads at arm's length.
    const double below = 2 * kLineHeight;
    const double side = std::min({kLargestCode, width, page.Height() - top - kGap - below});
    code.Draw(page.Painter(), QRectF((width - side) / 2, top + kGap, side, side));
    top += kGap + side;
    page.Text(QRectF(0, top, width, kLineHeight), passText, valueFont, Qt::AlignHCenter);
    page.Text(QRectF(0, top + kLineHeight, width, kLineHeight), FeatureTexts::PassHint(),
              PrintedPage::Font(kLineHeight * 0.45), Qt::AlignHCenter);
    return page.End();
}
