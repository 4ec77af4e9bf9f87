#pragma once
// Shared pieces of the skin engine tests.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <memory>

class QWidget;
class TSkinData;
class TSkinForm;

// The shipped skin, decoded and ready, owned by the caller; not yet known to
// any manager.
std::unique_ptr<TSkinData> LoadedShippedSkin();

// A solid image of the given size and colour (for test-made elements).
QImage SolidImage(int width, int height, const QColor& colour);

// Makes a frame for window with data and runs its set-up at once (no
// manager, no event loop).
TSkinForm* SkinNow(QWidget* window, TSkinData* data);

// The widget drawn into an image at its own size.
QImage Grab(QWidget* widget);

// Colour of a pixel of a grabbed image.
QColor PixelAt(const QImage& image, QPoint point);
