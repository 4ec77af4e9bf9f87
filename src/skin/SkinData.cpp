#include "skin/SkinData.h"

#include "skin/SkinBuiltins.h"
#include "skin/SkinIni.h"
#include "skin/SkinReader.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QtEndian>

TSkinData::TSkinData(QObject* owner) : QObject(owner)
{
    ResetElements();
    menuGlyphs_ = BuiltinMenuGlyphs();
    iconBitmap_ = QImage(16, 16, QImage::Format_RGB32);
    iconBitmap_.fill(QColor(255, 0, 255));
}

namespace {
std::function<void(TSkinData*)>& LoadedHook()
{
    static std::function<void(TSkinData*)> hook;
    return hook;
}

std::function<void(TSkinData*)>& DestroyedHook()
{
    static std::function<void(TSkinData*)> hook;
    return hook;
}
} // namespace

void TSkinData::SetLoadedHook(std::function<void(TSkinData*)> hook) { LoadedHook() = std::move(hook); }
void TSkinData::SetDestroyedHook(std::function<void(TSkinData*)> hook) { DestroyedHook() = std::move(hook); }

TSkinData::~TSkinData()
{
    if (DestroyedHook())
        DestroyedHook()(this);
}

void TSkinData::ResetElements()
{
    buttons_ = std::make_unique<TDataSkinButton>(QStringLiteral("Buttons"));
    left_ = std::make_unique<TDataSkinBorder>(QStringLiteral("Left"));
    right_ = std::make_unique<TDataSkinBorder>(QStringLiteral("Right"));
    top_ = std::make_unique<TDataSkinBorder>(QStringLiteral("Top"));
    bottom_ = std::make_unique<TDataSkinBorder>(QStringLiteral("Bottom"));
    title_ = std::make_unique<TDataSkinTitle>(QStringLiteral("Title"));
    for (TDataSkinBorder* e : {left_.get(), right_.get(), top_.get(), bottom_.get()})
        e->WindowEdge = true;
    top_->StackedFrames = bottom_->StackedFrames = true;
    sysButtons_.clear();
    elements_.clear();
    sectionColours_.clear();
    for (int i = 0; i < kColourSlots; ++i) {
        colours_[i] = SystemColour(i);
        colourGiven_[i] = false;
    }
    customColours_.fill(QColor(255, 255, 255));
    borderColour_ = colours_[csButtonFace];
    faceBrush_ = QBrush(colours_[csButtonFace]);
    skinName_.clear();
}

void TSkinData::SetActive(bool value)
{
    if (value == active_)
        return;
    // While the owner is read the value is only stored; Loaded settles it.
    // Otherwise a skin that is not ready cannot be switched on.
    if (!reading_ && value && notReady_ && (formType_ == sfMainform || formType_ == sfOnlyThisForm))
        return;
    active_ = value;
    emit ActiveChanged(active_);
}

QString TSkinData::SkinStore() const
{
    // There is no form designer here, so the status is always "(none)".
    return QStringLiteral("(none)");
}

void TSkinData::SetSkinFile(const QString& fileName)
{
    skinFile_ = fileName;
    notReady_ = true;
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    skinFileBytes_ = file.readAll();
    LoadSkinFromStore();
    if (!reading_)
        emit SkinFileLoaded();
}

void TSkinData::WriteSkinStream(QIODevice& stream) const
{
    const auto size = static_cast<qint32>(skinFileBytes_.size());
    char header[4];
    qToLittleEndian(size, header);
    stream.write(header, 4);
    if (size > 0)
        stream.write(skinFileBytes_);
}

void TSkinData::ReadSkinStream(QIODevice& stream)
{
    char header[4];
    if (stream.read(header, 4) != 4)
        return;
    const auto length = qFromLittleEndian<qint32>(header);
    if (length <= 0)
        return;
    skinFileBytes_ = stream.read(length);
    LoadSkinFromStore();
}

bool TSkinData::ReadSkinStreamFrom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    reading_ = true;
    ReadSkinStream(file);
    reading_ = false;
    return !notReady_;
}

bool TSkinData::LoadSkinFromStore()
{
    notReady_ = true;
    TSkinReader reader;
    const bool loaded = reader.Load(skinFileBytes_);
    if (loaded)
        ParseSkin(reader);
    return loaded;
}

void TSkinData::LoadSkinBitmap(QImage& bitmap, const QString& value) const
{
    bitmap = QImage();
    if (!reader_)
        return;
    const qsizetype cut = std::max(value.lastIndexOf(QLatin1Char('\\')), value.lastIndexOf(QLatin1Char(':')));
    const QString name = value.mid(cut + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (name.isEmpty() || dot < 0 || name.mid(dot) != QLatin1String(".bmp"))
        return;
    QByteArray bytes;
    reader_->ExtractEntry(name, bytes);
    if (bytes.isEmpty())
        return;
    QImage image;
    if (image.loadFromData(bytes, "BMP"))
        bitmap = image.convertToFormat(QImage::Format_RGB32);
}

void TSkinData::Loaded()
{
    if (active_ && notReady_) {
        active_ = false;
        emit ActiveChanged(false);
    }
    if (LoadedHook())
        LoadedHook()(this);
    if (formType_ == sfMainform) {
        if (HasControl(xcMainMenu))
            skinControls_ &= ~Bit(xcMenuItem);
        else
            skinControls_ &= ~Bit(xcSystemMenu);
        const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (app && !QGuiApplication::windowIcon().isNull()) {
            iconBitmap_.fill(QColor(255, 0, 255));
            QPainter p(&iconBitmap_);
            QGuiApplication::windowIcon().paint(&p, iconBitmap_.rect());
        }
    }
}

bool TSkinData::MayBeSkinned(const QString& aName, bool firstAnswer)
{
    if (OnFormSkin) {
        bool doSkin = firstAnswer;
        OnFormSkin(this, aName, doSkin);
        return doSkin;
    }
    if (aName == QLatin1String("SysMonthCal32"))
        return false;
    if (HasControl(xcFastReport) && aName.startsWith(QLatin1String("Tfr")))
        return false;
    return firstAnswer;
}

QColor TSkinData::Colour(int slot) const { return slot >= 0 && slot < kColourSlots ? colours_[slot] : QColor(); }

bool TSkinData::ColourGiven(int slot) const { return slot >= 0 && slot < kColourSlots && colourGiven_[slot]; }

TDataSkinObject* TSkinData::Element(const QString& name) const
{
    const auto it = elements_.find(name.toUpper());
    return it == elements_.end() ? nullptr : it->second.get();
}

void TSkinData::SetElement(std::unique_ptr<TDataSkinObject> element)
{
    const QString key = element->Name.toUpper();
    elements_[key] = std::move(element);
}
