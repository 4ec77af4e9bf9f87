#include "skin/engine/SkinMenuOwnerDraw.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinElements.h"
#include "skin/engine/SkinEvents.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QVariant>
#include <QWidget>
#include <algorithm>

void SetMenuOwnerDrawn(QMenu* menu, bool on)
{
    if (menu)
        menu->setProperty(kOwnerDrawnProperty, on);
}

bool IsMenuOwnerDrawn(const QMenu* menu) { return menu && menu->property(kOwnerDrawnProperty).toBool(); }

void SetFormMenusOwnerDrawn(QWidget* form, TSkinData* data, bool on)
{
    if (!form || !data)
        return;
    if (on && !data->HasControl(TSkinData::xcPopupMenu))
        return;
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        if (SkinEvents::TagOf(menu) == data->DisableTag())
            continue;
        SetMenuOwnerDrawn(menu, on);
    }
}

// --- drawing and measuring the items

namespace {

bool IsSeparator(const QStyleOptionMenuItem& item) { return item.menuItemType == QStyleOptionMenuItem::Separator; }

QString CaptionOf(const QStyleOptionMenuItem& item)
{
    const qsizetype tab = item.text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? item.text : item.text.left(tab);
}

QString ShortcutOf(const QStyleOptionMenuItem& item)
{
    const qsizetype tab = item.text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : item.text.mid(tab + 1);
}

// The item's background: the popup's background under it, else the Menu colour.
void FillItemBackground(QPainter& p, const QRect& rect, const TSkinData* data, const QImage& background)
{
    p.fillRect(rect, data->Colour(TSkinData::csMenu));
    if (!background.isNull())
        p.drawImage(rect.topLeft(), background, rect);
}

// The bottom rows of frame 2, as many as the item is high, in three parts.
void DrawSeparator(QPainter& p, const QRect& rect, const TDataSkinObject& element)
{
    const QRect frame = SkinFrameRect(element, kMenuItemFrames, kMenuItemSeparatorFrame);
    if (frame.isEmpty())
        return;
    const int rows = std::min(rect.height(), frame.height());
    const QRect source(frame.left(), frame.bottom() + 1 - rows, frame.width(), rows);
    QImage part(rect.size(), QImage::Format_ARGB32);
    part.fill(Qt::transparent);
    {
        QPainter q(&part);
        q.setCompositionMode(QPainter::CompositionMode_Source);
        DrawNineSlice(q, part.rect(), element.Bitmap, source, element.LeftWidth, 0, element.RightWidth, 0, false);
    }
    p.drawImage(rect.topLeft(), MagentaToTransparent(part));
}

void DrawCheckMark(QPainter& p, const QRect& box, const QColor& colour)
{
    // A 7 x 7 tick, three pixels thick, centred in the box.
    const int x = box.left() + (box.width() - 7) / 2;
    const int y = box.top() + (box.height() - 7) / 2;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i) {
        const int top = i < 3 ? y + 2 + i : y + 4 - (i - 2);
        p.fillRect(x + i, top, 1, 3, colour);
    }
    p.restore();
}

void DrawCheckedImageBack(QPainter& p, const QRect& box, const TSkinData* data)
{
    p.fillRect(box, data->Colour(TSkinData::csButtonFace));
    p.fillRect(box, QBrush(data->Colour(TSkinData::csButtonHilight), Qt::Dense4Pattern));
    const QColor shadow = data->Colour(TSkinData::csButtonShadow);
    const QColor light = data->Colour(TSkinData::csButtonHilight);
    p.fillRect(box.left(), box.top(), box.width(), 1, shadow);
    p.fillRect(box.left(), box.top(), 1, box.height(), shadow);
    p.fillRect(box.left(), box.bottom(), box.width(), 1, light);
    p.fillRect(box.right(), box.top(), 1, box.height(), light);
}

void DrawSubmenuArrow(QPainter& p, const QRect& rect, const QColor& colour, bool rightToLeft)
{
    const int cy = rect.center().y();
    const int x = rightToLeft ? rect.left() + 4 : rect.right() - 7;
    for (int i = 0; i < 4; ++i) {
        const int col = rightToLeft ? x + 3 - i : x + i;
        p.fillRect(col, cy - 3 + i, 1, 7 - 2 * i, colour);
    }
}

} // namespace

bool CanDrawSkinMenuItem(const TSkinData* data)
{
    const TDataSkinObject* element = data ? data->Element(QStringLiteral("MenuItem")) : nullptr;
    return element && !element->Bitmap.isNull();
}

QSize MeasureSkinMenuItem(const QStyleOptionMenuItem& item, const QSize& plainSize, const TSkinData* data,
                          bool systemMenu)
{
    const TDataSkinObject* element = data ? data->Element(QStringLiteral("MenuItem")) : nullptr;
    const int left = element ? element->LeftWidth : 0;
    const bool images = item.maxIconWidth > 0;
    int width = plainSize.width() + left + (systemMenu ? 12 : 10);
    if (!images)
        width += systemMenu ? 23 : 25;
    if (IsSeparator(item))
        return {width, kMenuSeparatorHeight};
    const int height = std::max(QFontMetrics(item.font).height() + 4, kMenuGlyphSize + 2);
    return {width, height};
}

void DrawSkinMenuItem(QPainter& p, const QStyleOptionMenuItem& item, const TSkinData* data, const QImage& background)
{
    const TDataSkinObject* element = data ? data->Element(QStringLiteral("MenuItem")) : nullptr;
    const QRect rect = item.rect;
    if (!element || rect.isEmpty())
        return;
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    FillItemBackground(p, rect, data, background);
    if (IsSeparator(item)) {
        DrawSeparator(p, rect, *element);
        p.restore();
        return;
    }
    const bool selected = item.state & QStyle::State_Selected;
    const bool enabled = item.state & QStyle::State_Enabled;
    const bool rtl = item.direction == Qt::RightToLeft;
    DrawElement(p, rect, element, kMenuItemFrames, selected ? kMenuItemSelectedFrame : kMenuItemNormalFrame);

    // Glyph box: 1 pixel in past the element's left part.
    const bool checked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    int side = item.maxIconWidth > 0 ? std::max(item.maxIconWidth - 4, kMenuGlyphSize) : kMenuGlyphSize;
    side = std::min(side, rect.height());
    QRect box(rect.left() + 1 + element->LeftWidth, rect.top() + (rect.height() - side) / 2, side, side);
    box = QStyle::visualRect(item.direction, rect, box);

    if (!item.icon.isNull()) {
        if (checked)
            DrawCheckedImageBack(p, box, data);
        const QPixmap pixmap = item.icon.pixmap(QSize(side, side), p.device() ? p.device()->devicePixelRatioF() : 1.0,
                                                enabled ? QIcon::Normal : QIcon::Disabled);
        const QSize ps = pixmap.deviceIndependentSize().toSize();
        p.drawPixmap(box.left() + (box.width() - ps.width()) / 2, box.top() + (box.height() - ps.height()) / 2, pixmap);
    } else if (checked) {
        DrawCheckMark(p, box, data->Colour(TSkinData::csButtonText));
    }

    QColor text = data->Colour(selected ? TSkinData::csHilightText : TSkinData::csMenuText);
    if (!enabled)
        text = data->Colour(TSkinData::csButtonShadow);
    p.setPen(text);
    p.setFont(item.font);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextShowMnemonic;
    const int captionLeft = rect.left() + 1 + element->LeftWidth + side + 3;
    QRect caption(captionLeft, rect.top(), rect.right() - captionLeft, rect.height());
    caption = QStyle::visualRect(item.direction, rect, caption);
    p.drawText(caption, flags | (rtl ? Qt::AlignRight : Qt::AlignLeft), CaptionOf(item));

    const QString shortcut = ShortcutOf(item);
    if (!shortcut.isEmpty()) {
        QRect keys(captionLeft, rect.top(), rect.right() + 1 - kMenuShortcutGap - captionLeft, rect.height());
        keys = QStyle::visualRect(item.direction, rect, keys);
        p.drawText(keys, flags | (rtl ? Qt::AlignLeft : Qt::AlignRight), shortcut);
    }
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu)
        DrawSubmenuArrow(p, rect, text, rtl);
    p.restore();
}
