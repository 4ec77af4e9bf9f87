#include "SkinEngineTestUtil.h"

#include "skin/ShippedSkin.h"
#include "skin/SkinData.h"
#include "skin/SkinMessage.h"
#include "skin/engine/SkinForm.h"

#include <QWidget>
#include <stdexcept>

std::unique_ptr<TSkinData> LoadedShippedSkin()
{
    SetSkinMessageHandler([](const QString& text) { throw std::runtime_error(text.toStdString()); });
    auto data = std::make_unique<TSkinData>();
    LoadShippedSkin(*data);
    if (!data->Ready())
        throw std::runtime_error("the shipped skin did not load");
    return data;
}

QImage SolidImage(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TSkinForm* SkinNow(QWidget* window, TSkinData* data)
{
    auto* form = new TSkinForm(window, data, nullptr);
    form->Setup();
    return form;
}

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

QColor PixelAt(const QImage& image, QPoint point) { return image.pixelColor(point); }
