#pragma once
// Helpers for the skin tests: bitmaps as BMP bytes and skin files packed
// from named entries.

#include "SkinPacker.h"

#include <QBuffer>
#include <QImage>

inline QByteArray BmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return bytes;
}

inline QImage SolidImage(int w, int h, QColor c = QColor(10, 20, 30))
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

inline QByteArray PackSkin(const QList<SkinEntry>& entries, uint32_t version = 70000)
{
    return CompressSkinFile(BuildSkinContainer(entries, version));
}
