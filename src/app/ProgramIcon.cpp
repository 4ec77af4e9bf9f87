#include "app/ProgramIcon.h"
#include "shell/ExecutableFolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Writes bytes to path unless the file already holds them.
bool writeIfChanged(const QString& path, const QByteArray& bytes)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QIcon ProgramIcon()
{
    // An olive register book with a white page and two ruled lines.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(72, 72, 0), 1));
    p.setBrush(QColor(128, 128, 0));
    p.drawRoundedRect(QRectF(3.5, 2.5, 25, 27), 3, 3);
    p.setBrush(QColor(250, 250, 240));
    p.drawRect(QRectF(8.5, 6.5, 16, 19));
    p.setPen(QPen(QColor(128, 128, 0), 2));
    p.drawLine(11, 12, 22, 12);
    p.drawLine(11, 17, 22, 17);
    p.drawLine(11, 22, 18, 22);
    return QIcon(pixmap);
}

QString WriteProgramIconFile()
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!ProgramIcon().pixmap(32, 32).save(&buffer, "PNG"))
        return {};
    QString beside = ExecutableFolder() + QStringLiteral("Vostrel.png");
    if (writeIfChanged(beside, png))
        return beside;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + QStringLiteral("/icons/hicolor/32x32/apps");
    QString own = folder + QStringLiteral("/vostrel.png");
    if (QDir().mkpath(folder) && writeIfChanged(own, png))
        return own;
    return {};
}
