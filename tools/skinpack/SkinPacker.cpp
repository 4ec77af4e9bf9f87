#include "SkinPacker.h"

#include "LZHEncoder.h"
#include "skin/SkinReader.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace {
void appendInt32(QByteArray& out, uint32_t v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
} // namespace

QByteArray BuildSkinContainer(const QList<SkinEntry>& entries, uint32_t version)
{
    QByteArray names;
    for (const SkinEntry& e : entries)
        names += e.name.toLatin1() + "\r\n";
    QByteArray out;
    appendInt32(out, version);
    appendInt32(out, static_cast<uint32_t>(names.size()));
    appendInt32(out, 0);
    appendInt32(out, 0);
    out.append(QByteArray(std::max(TSkinReader::SkipBlockSize(version), 0), '\0'));
    out += names;
    for (const SkinEntry& e : entries)
        appendInt32(out, static_cast<uint32_t>(e.body.size()));
    for (const SkinEntry& e : entries)
        out += e.body;
    return out;
}

QByteArray CompressSkinFile(const QByteArray& container)
{
    QByteArray out;
    appendInt32(out, static_cast<uint32_t>(container.size()));
    out += LZHEncode(container);
    return out;
}

QByteArray SkinStreamPayload(const QByteArray& skinFile)
{
    QByteArray out;
    appendInt32(out, static_cast<uint32_t>(skinFile.size()));
    return out + skinFile;
}

bool ReadSkinFolder(const QString& dir, QList<SkinEntry>& entries, QString& error)
{
    entries.clear();
    const QDir d(dir);
    if (!d.exists()) {
        error = QStringLiteral("no such folder: %1").arg(dir);
        return false;
    }
    const QStringList bitmaps = d.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    const QStringList inis = d.entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    if (inis.size() != 1) {
        error = QStringLiteral("%1 must hold exactly one .ini file, found %2").arg(dir).arg(inis.size());
        return false;
    }
    for (const QString& name : bitmaps + inis) {
        QFile f(d.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read %1").arg(f.fileName());
            return false;
        }
        entries.append({name, f.readAll()});
    }
    if (entries.size() > TSkinReader::kMaxEntries) {
        error = QStringLiteral("too many entries: %1").arg(entries.size());
        return false;
    }
    return true;
}
