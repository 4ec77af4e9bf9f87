#pragma once
#include <QByteArray>
#include <QRectF>
#include <vector>

class QPainter;

// A QR code's modules, encoded with libqrencode (error correction level M).
class QrCode {
public:
    // Raises EVostrelError when the data does not fit a QR code.
    explicit QrCode(const QByteArray& data);

    int Size() const { return size_; } // modules on a side
    bool Dark(int x, int y) const { return modules_[static_cast<size_t>(y) * size_ + x]; }

    // Draws the code black on white into the largest square of `area`,
    // with the quiet zone of four modules that readers need around it.
    void Draw(QPainter& painter, const QRectF& area) const;

private:
    int size_ = 0;
    std::vector<bool> modules_;
};
