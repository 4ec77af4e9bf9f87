#include "ProgramIcon.h"

#include <QPainter>
#include <QPixmap>

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
