#pragma once
// Skin elements: a bitmap cut into equal frames, with nine-slice margins,
// drawing flags and the colours its section gives.

#include <QColor>
#include <QImage>
#include <QString>

class TDataSkinObject {
public:
    explicit TDataSkinObject(const QString& name = QString()) : Name(name) {}
    virtual ~TDataSkinObject() = default;

    int LeftWidth = 0;
    int TopHeight = 0;
    int RightWidth = 0;
    int BottomHeight = 0;
    QImage Bitmap;
    int Trans = 0;
    int Tile = 0; // window edges hold their Stretch value here (1 = stretch)
    QString Name;
    int Frame = 0;
    int Style = 0;
    int NormalColour = -1;
    int MouseOverColour = -1;
    int PressedColour = -1;
    QColor NormalColour2;
    QColor MouseOverColour2;
    QColor PressedColour2;

    // Window edges: Tile holds Stretch, so the middle tiles when it is not 1.
    bool WindowEdge = false;
    // Top and bottom window edges keep their frames one under the other.
    bool StackedFrames = false;

    bool TilesMiddle() const { return WindowEdge ? Tile != 1 : Tile != 0; }
};

class TDataSkinBorder : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    QImage Bitmap2;
};

class TDataSkinButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    QImage CheckBitmap;
    QImage RadioBitmap;
    int RadioFrame = 0;
    int CheckFrame = 0;
    bool HasNormalColour2 = false;
    bool HasMouseOverColour2 = false;
    bool HasPressedColour2 = false;
};

class TDataSkinTitle : public TDataSkinObject {
public:
    static constexpr int kNoColour = 0x1FFFFFFF;
    using TDataSkinObject::TDataSkinObject;
    int TextShift = 0;
    int TextShiftVert = 0;
    int TextRightClip = 0;
    int TextAlignment = 0;
    int TextBackground = 0;
    int FontHeight = 14;
    int TxtBackLeft = 0;
    int TxtBackRight = 0;
    int ActiveTextColour = kNoColour;   // 0x00RRGGBB or kNoColour
    int InactiveTextColour = kNoColour; // 0x00RRGGBB or kNoColour
};

class TDataSkinSysButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int Action = 0;
    int Align = 0;
    int Xcoord = 0;
    int Ycoord = 0;
    int CombineOp = -1;
    int Visibility = 0;
    int Visibility1 = 0;
};

class TDataSkinBoxLabel : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int BackgroundLeftShift = 0;
    int BackgroundRightShift = 0;
    int BackgroundAlignment = 0;
};
