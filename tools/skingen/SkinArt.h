#pragma once
// The shipped skin's bitmaps, drawn from code: calm light faces, dark olive
// text and an olive title bar.

#include <QImage>
#include <QList>
#include <QString>

struct SkinBitmap {
    QString name; // entry name, e.g. "top.bmp"
    QImage image;
};

QList<SkinBitmap> DrawShippedSkinBitmaps();
