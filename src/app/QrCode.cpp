#include "app/QrCode.h"
#include "base/VostrelError.h"

#include <QPainter>
#include <algorithm>
#include <memory>
#include <qrencode.h>

namespace {
constexpr int kQuietZone = 4;
}

QrCode::QrCode(const QByteArray& data)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(static_cast<int>(data.size()), reinterpret_cast<const unsigned char*>(data.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        throw EVostrelError(QStringLiteral("QR code: the text does not fit"));
    size_ = code->width;
    modules_.resize(static_cast<size_t>(size_) * size_);
    for (size_t i = 0; i < modules_.size(); ++i)
        modules_[i] = (code->data[i] & 1) != 0;
}

void QrCode::Draw(QPainter& painter, const QRectF& area) const
{
    const double side = std::min(area.width(), area.height());
    const double module = side / (size_ + 2 * kQuietZone);
    const QPointF origin(area.center().x() - side / 2, area.center().y() - side / 2);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(origin, QSizeF(side, side)));
    painter.setBrush(Qt::black);
    // One rectangle per run of dark modules in a row: no hairline seams
    // between neighbours, and a smaller file.
    for (int y = 0; y < size_; ++y) {
        for (int x = 0; x < size_;) {
            if (!Dark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < size_ && Dark(x, y))
                ++x;
            painter.drawRect(QRectF(origin.x() + (start + kQuietZone) * module, origin.y() + (y + kQuietZone) * module,
                                    (x - start) * module, module));
        }
    }
    painter.restore();
}
