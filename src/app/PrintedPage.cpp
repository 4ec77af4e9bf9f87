#include "app/PrintedPage.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

namespace {
// A TrueType CJK font first: PDF output embeds TrueType outlines as a
// subset, so the page prints on a printer that has no Chinese font.
const QStringList kFamilies{QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC"),
                            QStringLiteral("Noto Serif CJK SC")};
} // namespace

PrintedPage::PrintedPage(QPagedPaintDevice& device) : device_(device)
{
    if (!painter_.begin(&device_))
        return;
    const QRectF area = device_.pageLayout().paintRect(QPageLayout::Millimeter);
    width_ = area.width() * 10;
    height_ = area.height() * 10;
    painter_.scale(device_.logicalDpiX() / 254.0, device_.logicalDpiY() / 254.0);
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

QFont PrintedPage::Font(double height, bool bold)
{
    QFont font;
    font.setFamilies(kFamilies);
    font.setPixelSize(std::max(1, qRound(height)));
    font.setBold(bold);
    return font;
}

void PrintedPage::Text(const QRectF& box, const QString& text, const QFont& font, Qt::Alignment alignment)
{
    painter_.setFont(font);
    const QFontMetricsF metrics(font, &device_);
    const QString shown = metrics.elidedText(text.simplified(), Qt::ElideRight, box.width());
    painter_.drawText(box, static_cast<int>(alignment | Qt::AlignVCenter | Qt::TextSingleLine), shown);
}

bool PrintedPage::NewPage() { return device_.newPage(); }
