#pragma once
// Writing skin containers and skin files: entry names and bodies in, a
// version-coded container, the compressed skin file and the payload out.

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

struct SkinEntry {
    QString name;
    QByteArray body;
};

// The decoded container: header, skip block, name list, sizes, bodies.
QByteArray BuildSkinContainer(const QList<SkinEntry>& entries, uint32_t version = 70000);
// Size word, then the compressed container.
QByteArray CompressSkinFile(const QByteArray& container);
// Signed 32-bit length, then the skin file.
QByteArray SkinStreamPayload(const QByteArray& skinFile);

// Reads every ".bmp" file and the one ".ini" file of a folder, bitmaps in
// name order and the INI last. Sets error and returns false otherwise.
bool ReadSkinFolder(const QString& dir, QList<SkinEntry>& entries, QString& error);
