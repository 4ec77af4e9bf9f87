#include "skin/SkinBuiltins.h"

#include "skin/SkinData.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

QColor SystemColour(int slot)
{
    // Without an application object there is no palette; use a plain
    // light scheme so that the parse works in tools and fuzzers too.
    const bool havePalette = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    const QPalette pal = havePalette ? QGuiApplication::palette() : QPalette(QColor(240, 240, 240));
    switch (slot) {
    case TSkinData::csWindowText: return pal.color(QPalette::WindowText);
    case TSkinData::csTitleTextActive: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case TSkinData::csTitleTextNoActive: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case TSkinData::csButtonFace: return pal.color(QPalette::Button);
    case TSkinData::csButtonText: return pal.color(QPalette::ButtonText);
    case TSkinData::csButtonHilight:
    case TSkinData::csButtonlight: return pal.color(QPalette::Light);
    case TSkinData::csButtonShadow: return pal.color(QPalette::Mid);
    case TSkinData::csButtonDkShadow: return pal.color(QPalette::Shadow);
    case TSkinData::csHilightText: return pal.color(QPalette::HighlightedText);
    case TSkinData::csHilight: return pal.color(QPalette::Highlight);
    case TSkinData::csMenubar: return pal.color(QPalette::Button);
    case TSkinData::csMenuBarText: return pal.color(QPalette::WindowText);
    case TSkinData::csMenuText: return pal.color(QPalette::Text);
    case TSkinData::csMenu: return pal.color(QPalette::Base);
    case TSkinData::csScrollbar: return pal.color(QPalette::Midlight);
    default: return pal.color(QPalette::Window);
    }
}

QImage BuiltinTrackImage(bool vertical)
{
    // A sunken channel: dark top-left ring, light bottom-right ring.
    QImage img(vertical ? QSize(8, 24) : QSize(24, 8), QImage::Format_RGB32);
    img.fill(QColor(235, 235, 228));
    QPainter p(&img);
    const QRect r = img.rect();
    p.setPen(QColor(128, 128, 120));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(255, 255, 255));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(QColor(64, 64, 60));
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    return img;
}

QImage BuiltinMenuGlyphs()
{
    QImage img(64, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::black);
    // restore: two overlapping windows
    p.drawRect(6, 3, 6, 5);
    p.drawLine(6, 4, 12, 4);
    p.fillRect(3, 7, 7, 6, Qt::white);
    p.drawRect(3, 7, 6, 5);
    p.drawLine(3, 8, 9, 8);
    // maximize: one window with a thick title bar
    p.drawRect(16 + 3, 3, 9, 9);
    p.drawLine(16 + 3, 4, 16 + 12, 4);
    // minimize: a bar at the bottom
    p.fillRect(32 + 4, 10, 7, 2, Qt::black);
    // close: a cross
    p.drawLine(48 + 4, 4, 48 + 11, 11);
    p.drawLine(48 + 5, 4, 48 + 12, 11);
    p.drawLine(48 + 11, 4, 48 + 4, 11);
    p.drawLine(48 + 12, 4, 48 + 5, 11);
    return img;
}
