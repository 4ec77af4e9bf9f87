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

// What a caption button does when clicked, by the number its section stores.
// Other numbers are kept as they are: the frame hands them to the window.
enum class CaptionAction : int {
    None = -1,
    Close = 0,
    Maximize = 1,   // or restore when maximized
    Minimize = 2,   // or restore when minimized
    WindowIcon = 3, // shows the window's icon, opens the system menu
    ContextHelp = 4,
    MdiMinimize = 7,
    MdiRestore = 8,
    MdiClose = 9,
    WindowIcon2 = 11,
    SystemMenu = 12,
    Maximize2 = 22,
    Minimize2 = 23,
    MdiMinimize2 = 60,
    MdiRestore2 = 61,
    MdiClose2 = 62,
};

// Where a caption button sits. Other numbers leave the button hidden.
enum class CaptionAlign : int {
    Left = 0,       // Xcoord from the window's left edge
    Right = 1,      // Xcoord from the window's right edge
    BeforeText = 2, // Xcoord left of the caption text
    AfterText = 3,  // Xcoord right of the caption text
    BeforeText2 = 8,
    AfterText2 = 9,
    MenuBar = 100, // the MDI child buttons, in the menu bar
};

// When a caption button shows (its Visibility and Visibility1 codes). The
// codes 201 ... 999 always hold and 1000 ... 2000 ask the window: they are
// ranges, kept as stored and told apart by the bounds below.
enum class CaptionCondition : int {
    Unset = -1, // always holds
    Always = 0,
    Maximized = 1,
    NotMaximized = 2,
    Active = 3,
    Inactive = 4,
    HasMinOrMaxBox = 6,
    NoMaximizeBox = 7,
    MinOrMaxBoxMenu = 8,
    NoMinimizeBox = 9,
    ContextHelp = 10,
    MdiChildButtons = 100,
    PlainDialog = 200,
};

inline constexpr int kFirstAlwaysCondition = 201;
inline constexpr int kFirstWindowCondition = 1000;
inline constexpr int kLastWindowCondition = 2000;

// A skin file's number as the enumeration: every number is kept, since the
// frame gives the numbers it does not name a meaning of their own (actions
// go to the window, conditions by range, alignments hide the button).
inline CaptionAction CaptionActionFromStored(int stored) { return static_cast<CaptionAction>(stored); }
inline CaptionAlign CaptionAlignFromStored(int stored) { return static_cast<CaptionAlign>(stored); }
inline CaptionCondition CaptionConditionFromStored(int stored) { return static_cast<CaptionCondition>(stored); }

class TDataSkinSysButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    CaptionAction Action = CaptionAction::Close;
    CaptionAlign Align = CaptionAlign::Left;
    int Xcoord = 0;
    int Ycoord = 0;
    int CombineOp = -1;
    CaptionCondition Visibility = CaptionCondition::Always;
    CaptionCondition Visibility1 = CaptionCondition::Always;

    // Buttons that show the window's small icon instead of their image.
    bool ShowsWindowIcon() const { return Action == CaptionAction::WindowIcon || Action == CaptionAction::WindowIcon2; }
};

class TDataSkinBoxLabel : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int BackgroundLeftShift = 0;
    int BackgroundRightShift = 0;
    int BackgroundAlignment = 0;
};
