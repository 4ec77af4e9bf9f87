// The parse of the skin INI into skin elements, in the order the elements
// depend on one another.

#include "skin/SkinBuiltins.h"
#include "skin/SkinColour.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinIni.h"
#include "skin/SkinReader.h"

#include <QPainter>
#include <algorithm>

namespace {
const QString kPersonality = QStringLiteral("Personality");
const QColor kMagenta(255, 0, 255);

int atMostOneElse(int v, int replacement) { return v > 1 ? replacement : v; }

QImage replaceMagenta(const QImage& source, const QColor& colour)
{
    QImage out = source.convertToFormat(QImage::Format_RGB32);
    const QRgb with = colour.rgb();
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == 0x00FF00FF)
                line[x] = with;
    }
    return out;
}

struct LoaderGuard {
    const TSkinReader*& slot;
    ~LoaderGuard() { slot = nullptr; }
};
} // namespace

void TSkinData::ReadCommon(const TQuickIni& ini, TDataSkinObject& e, bool withFrame) const
{
    const QString& s = e.Name;
    e.Style = ini.ReadInteger(s, QStringLiteral("Style"), 0);
    e.LeftWidth = ini.ReadInteger(s, QStringLiteral("LeftWidth"), 0);
    e.RightWidth = ini.ReadInteger(s, QStringLiteral("RightWidth"), 0);
    e.TopHeight = ini.ReadInteger(s, QStringLiteral("TopHeight"), 0);
    e.BottomHeight = ini.ReadInteger(s, QStringLiteral("BottomHeight"), 0);
    if (withFrame)
        e.Frame = ini.ReadInteger(s, QStringLiteral("Frame"), 0);
    e.Trans = ini.ReadInteger(s, QStringLiteral("Trans"), 0);
    e.Tile = atMostOneElse(ini.ReadInteger(s, QStringLiteral("Tile"), 0), 0);
    e.NormalColour = ini.ReadInteger(s, QStringLiteral("NormalColour"), -1);
    e.MouseOverColour = ini.ReadInteger(s, QStringLiteral("MouseOverColour"), -1);
    e.PressedColour = ini.ReadInteger(s, QStringLiteral("PressedColour"), -1);
    const QColor text = Colour(csButtonText);
    e.NormalColour2 = ColourOf(ini.ReadString(s, QStringLiteral("NormalColour2"), QString()), text);
    e.MouseOverColour2 = ColourOf(ini.ReadString(s, QStringLiteral("MouseOverColour2"), QString()), text);
    e.PressedColour2 = ColourOf(ini.ReadString(s, QStringLiteral("PressedColour2"), QString()), text);
}

void TSkinData::ParseSkin(const TSkinReader& reader)
{
    notReady_ = true;
    reader_ = &reader;
    LoaderGuard guard{reader_};

    QByteArray iniBytes;
    QString iniName;
    reader.ExtractEntryLike(QStringLiteral(".ini"), iniBytes, iniName);
    TQuickIni ini;
    ini.LoadFromStream(iniBytes);

    ResetElements();
    QStringList sections;
    ini.ReadSections(&sections);
    skinName_ = ini.ReadString(QStringLiteral("TitlebarSkin"), QStringLiteral("SkinName"), QString());

    ParseBorders(ini);
    ParseColours(ini, sections);
    ParseCaptionButtons(ini, sections);
    ParseButtons(ini);
    ParseTitle(ini);
    ParseElements(ini);
    FixFrameCounts(ini);
    BuildComboImages();
    BuildComboxArrow();
    FinishParse();
}

void TSkinData::ParseBorders(const TQuickIni& ini)
{
    const std::pair<const char*, TDataSkinBorder*> edges[] = {
        {"Left", left_.get()}, {"Right", right_.get()}, {"Top", top_.get()}, {"Bottom", bottom_.get()}};
    for (const auto& [name, e] : edges) {
        const QString edge = QLatin1String(name);
        LoadSkinBitmap(e->Bitmap, ini.ReadString(kPersonality, edge, QString()));
        const int first = ini.ReadInteger(kPersonality, edge + QLatin1String("TopHeight"), 0);
        const int last = ini.ReadInteger(kPersonality, edge + QLatin1String("BotHeight"), 0);
        if (e == left_.get() || e == right_.get()) {
            e->TopHeight = first;
            e->BottomHeight = last;
        } else {
            e->LeftWidth = first;
            e->RightWidth = last;
        }
        e->Frame = ini.ReadInteger(kPersonality, edge + QLatin1String("Frame"), 1);
        e->Tile = atMostOneElse(ini.ReadInteger(kPersonality, edge + QLatin1String("Stretch"), 1), 1);
        e->Trans = ini.ReadInteger(kPersonality, edge + QLatin1String("Trans"), 1);
    }
}

void TSkinData::ParseColours(const TQuickIni& ini, const QStringList& sections)
{
    const QString colours = QStringLiteral("Colours");
    const std::pair<const char*, int> order[] = {{"WindowText", csWindowText},
                                                 {"ButtonFace", csButtonFace},
                                                 {"Scrollbar", csScrollbar},
                                                 {"HilightText", csHilightText},
                                                 {"Hilight", csHilight},
                                                 {"Menubar", csMenubar},
                                                 {"Menu", csMenu},
                                                 {"MenuText", csMenuText},
                                                 {"ButtonText", csButtonText},
                                                 {"ButtonHilight", csButtonHilight},
                                                 {"Buttonlight", csButtonlight},
                                                 {"ButtonShadow", csButtonShadow},
                                                 {"ButtonDkShadow", csButtonDkShadow},
                                                 {"MenuBarText", csMenuBarText},
                                                 {"TitleTextActive", csTitleTextActive},
                                                 {"TitleTextNoActive", csTitleTextNoActive}};
    for (const auto& [key, slot] : order) {
        const QString text = ini.ReadString(colours, QLatin1String(key), QString());
        const QColor fallback = slot == csMenubar ? colours_[csButtonFace] : SystemColour(slot);
        colours_[slot] = ColourOf(text, fallback);
        colourGiven_[slot] = !text.isEmpty();
    }
    for (const QString& s : sections) {
        const QString upper = s.toUpper();
        if (upper.startsWith(QLatin1String("COLOUR")) && upper != QLatin1String("COLOURS"))
            sectionColours_.append(
                ColourOf(ini.ReadString(s, QStringLiteral("color"), QString()), SystemColour(csWindowText)));
    }
    for (int i = 0; i < 10; ++i)
        customColours_[static_cast<size_t>(i)] =
            ColourOf(ini.ReadString(QStringLiteral("Customcolors"), QStringLiteral("Color%1").arg(i), QString()),
                     QColor(255, 255, 255));
}

void TSkinData::ParseCaptionButtons(const TQuickIni& ini, const QStringList& sections)
{
    static const QStringList kNotCaption = {QStringLiteral("BUTTON"), QStringLiteral("BUTTONS"),
                                            QStringLiteral("BUTTON.RADIO"), QStringLiteral("BUTTON.CHECKBOX")};
    QPoint recorded;
    bool haveRecorded = false;
    for (const QString& s : sections) {
        const QString upper = s.toUpper();
        if (!upper.startsWith(QLatin1String("BUTTON")) || kNotCaption.contains(upper))
            continue;
        const int action = ini.ReadInteger(s, QStringLiteral("Action"), 0);
        if (action == -1 && ini.ReadInteger(s, QStringLiteral("Visibility"), -1) != 0)
            continue;

        auto b = std::make_unique<TDataSkinSysButton>(upper);
        b->Action = CaptionActionFromStored(action);
        b->Align = CaptionAlignFromStored(ini.ReadInteger(s, QStringLiteral("Align"), 0));
        b->Xcoord = ini.ReadInteger(s, QStringLiteral("Xcoord"), 0);
        b->Ycoord = ini.ReadInteger(s, QStringLiteral("Ycoord"), 0);
        b->Visibility = CaptionConditionFromStored(ini.ReadInteger(s, QStringLiteral("Visibility"), 0));
        b->Visibility1 =
            CaptionConditionFromStored(ini.ReadInteger(s, QStringLiteral("Visibility1"), action == -1 ? -1 : 0));
        b->CombineOp = ini.ReadInteger(s, QStringLiteral("CombineOp"), -1);
        b->Frame = ini.ReadInteger(s, QStringLiteral("frame"), 0);
        LoadSkinBitmap(b->Bitmap, ini.ReadString(s, QStringLiteral("ButtonImage"), QString()));

        if (b->Action == CaptionAction::Maximize && b->Visibility == CaptionCondition::NotMaximized) {
            recorded = QPoint(b->Xcoord, b->Ycoord);
            haveRecorded = true;
        } else if (b->Action == CaptionAction::ContextHelp && haveRecorded) {
            b->Xcoord = recorded.x();
            b->Ycoord = recorded.y();
        }
        if (b->Frame == 0) {
            b->Frame = 6;
            if (!b->Bitmap.isNull() && action >= 0)
                b->Frame = b->Bitmap.width() <= 3.8 * b->Bitmap.height() ? 3 : 6;
        }
        // Icon buttons show the window's icon: their image only keeps its
        // size, all of it transparent.
        if (b->ShowsWindowIcon())
            b->Bitmap.fill(kMagenta);
        sysButtons_.push_back(std::move(b));
    }

    QImage mdi;
    LoadSkinBitmap(mdi, ini.ReadString(QStringLiteral("MDICONTROLS"), QStringLiteral("Image"), QString()));
    const int u = mdi.width() / 12;
    for (int i = 0; i < 3; ++i) {
        auto b = std::make_unique<TDataSkinSysButton>(QStringLiteral("MDICONTROLS%1").arg(i));
        static constexpr CaptionAction kMdiActions[] = {CaptionAction::MdiMinimize, CaptionAction::MdiRestore,
                                                        CaptionAction::MdiClose};
        b->Action = kMdiActions[i];
        b->Align = CaptionAlign::MenuBar;
        b->Visibility = b->Visibility1 = CaptionCondition::MdiChildButtons;
        b->Frame = 4;
        if (u > 0)
            b->Bitmap = mdi.copy(4 * u * i, 0, 4 * u, mdi.height());
        b->Xcoord = (u + 4) * (3 - i);
        sysButtons_.push_back(std::move(b));
    }
}

void TSkinData::ParseButtons(const TQuickIni& ini)
{
    TDataSkinButton& b = *buttons_;
    const QString s = QStringLiteral("Buttons");
    b.LeftWidth = ini.ReadInteger(s, QStringLiteral("LeftWidth"), 0);
    b.RightWidth = ini.ReadInteger(s, QStringLiteral("RightWidth"), 0);
    b.TopHeight = ini.ReadInteger(s, QStringLiteral("TopHeight"), 0);
    b.BottomHeight = ini.ReadInteger(s, QStringLiteral("BottomHeight"), 0);
    b.Trans = ini.ReadInteger(s, QStringLiteral("Trans"), 0);
    LoadSkinBitmap(b.Bitmap, ini.ReadString(s, QStringLiteral("Bitmap"), QString()));
    b.Tile = atMostOneElse(ini.ReadInteger(s, QStringLiteral("Tile"), 0), 0);
    LoadSkinBitmap(b.CheckBitmap, ini.ReadString(s, QStringLiteral("CheckButton"), QString()));
    LoadSkinBitmap(b.RadioBitmap, ini.ReadString(s, QStringLiteral("RadioButton"), QString()));
    b.NormalColour = ini.ReadInteger(s, QStringLiteral("NormalColour"), -1);
    b.MouseOverColour = ini.ReadInteger(s, QStringLiteral("MouseOverColour"), -1);
    b.PressedColour = ini.ReadInteger(s, QStringLiteral("PressedColour"), -1);
    b.RadioFrame = ini.ReadInteger(s, QStringLiteral("RadioButtonFrame"), 0);
    b.CheckFrame = ini.ReadInteger(s, QStringLiteral("CheckButtonFrame"), 0);
    const QColor text = Colour(csButtonText);
    auto colour2 = [&](const char* key, QColor& colour, bool& given) {
        const QString value = ini.ReadString(s, QLatin1String(key), QString());
        given = !value.isEmpty();
        colour = ColourOf(value, text);
    };
    colour2("NormalColour2", b.NormalColour2, b.HasNormalColour2);
    colour2("MouseOverColour2", b.MouseOverColour2, b.HasMouseOverColour2);
    colour2("PressedColour2", b.PressedColour2, b.HasPressedColour2);
}

void TSkinData::ParseTitle(const TQuickIni& ini)
{
    TDataSkinTitle& t = *title_;
    LoadSkinBitmap(t.Bitmap, ini.ReadString(kPersonality, QStringLiteral("TextBack"), QString()));
    t.TextShift = ini.ReadInteger(kPersonality, QStringLiteral("TextShift"), 0);
    t.TextShiftVert = ini.ReadInteger(kPersonality, QStringLiteral("TextShiftVert"), 0);
    t.TextRightClip = ini.ReadInteger(kPersonality, QStringLiteral("TextRightClip"), 0);
    t.TextAlignment = ini.ReadInteger(kPersonality, QStringLiteral("TextAlignment"), 0);
    t.TextBackground = ini.ReadInteger(kPersonality, QStringLiteral("Textbackground"), 0);
    t.TxtBackLeft = ini.ReadInteger(kPersonality, QStringLiteral("TXTBackleft"), 0);
    t.TxtBackRight = ini.ReadInteger(kPersonality, QStringLiteral("TXTBackRight"), 0);
    t.LeftWidth = t.TxtBackLeft;
    t.RightWidth = t.TxtBackRight;
    t.FontHeight = ini.ReadInteger(QStringLiteral("Fonts"), QStringLiteral("FontHeight"), 14);
    auto rgb = [&](const QString& prefix) {
        const int r = ini.ReadInteger(kPersonality, prefix + QLatin1Char('R'), -1);
        const int g = ini.ReadInteger(kPersonality, prefix + QLatin1Char('G'), -1);
        const int b = ini.ReadInteger(kPersonality, prefix + QLatin1Char('B'), -1);
        if (r < 0 || g < 0 || b < 0)
            return static_cast<int>(TDataSkinTitle::kNoColour);
        return ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
    };
    t.ActiveTextColour = rgb(QStringLiteral("ActiveText"));
    t.InactiveTextColour = rgb(QStringLiteral("InActiveText"));
}

void TSkinData::ParseElements(const TQuickIni& ini)
{
    auto image = [&](const QString& section, const char* key) {
        return ini.ReadString(section, QLatin1String(key), QString());
    };
    auto generic = [&](const char* section) {
        const QString s = QLatin1String(section);
        const QString value = image(s, "Image");
        if (value.isEmpty())
            return;
        auto e = std::make_unique<TDataSkinObject>(s);
        LoadSkinBitmap(e->Bitmap, value);
        ReadCommon(ini, *e, true);
        SetElement(std::move(e));
    };
    auto withSecond = [&](const char* section, const char* secondKey) {
        const QString s = QLatin1String(section);
        const QString value = image(s, "Image");
        if (value.isEmpty())
            return;
        auto e = std::make_unique<TDataSkinBorder>(s);
        LoadSkinBitmap(e->Bitmap, value);
        ReadCommon(ini, *e, false);
        LoadSkinBitmap(e->Bitmap2, image(s, secondKey));
        SetElement(std::move(e));
    };

    // Progress
    {
        const QString s = QStringLiteral("Progress");
        const QString value = image(s, "Bitmap");
        if (!value.isEmpty()) {
            auto e = std::make_unique<TDataSkinBorder>(s);
            LoadSkinBitmap(e->Bitmap, value);
            e->Style = ini.ReadInteger(s, QStringLiteral("Style"), 0);
            e->LeftWidth = ini.ReadInteger(s, QStringLiteral("LeftWidth"), 0);
            e->RightWidth = ini.ReadInteger(s, QStringLiteral("RightWidth"), 0);
            e->TopHeight = ini.ReadInteger(s, QStringLiteral("TopHeight"), 0);
            e->BottomHeight = ini.ReadInteger(s, QStringLiteral("BottomHeight"), 0);
            e->Trans = ini.ReadInteger(s, QStringLiteral("Trans"), 0);
            e->Tile = atMostOneElse(ini.ReadInteger(s, QStringLiteral("Tile"), 0), 1);
            SetElement(std::move(e));
        }
    }
    generic("Progress.Chunk");
    // Menu bar, from the personality section
    {
        const QString value = image(kPersonality, "menuBar");
        if (!value.isEmpty()) {
            auto e = std::make_unique<TDataSkinObject>(QStringLiteral("MenuBar"));
            LoadSkinBitmap(e->Bitmap, value);
            e->Tile = atMostOneElse(ini.ReadInteger(kPersonality, QStringLiteral("TileMenu"), 1), 1);
            e->LeftWidth = ini.ReadInteger(kPersonality, QStringLiteral("TileLeftMenu"), 1);
            e->RightWidth = ini.ReadInteger(kPersonality, QStringLiteral("TileRightMenu"), 1);
            SetElement(std::move(e));
        }
    }
    generic("GroupBoxEdge");
    // Group box
    {
        const QString s = QStringLiteral("GroupBox");
        const QString value = image(s, "Image");
        if (!value.isEmpty()) {
            auto e = std::make_unique<TDataSkinBoxLabel>(s);
            LoadSkinBitmap(e->Bitmap, value);
            ReadCommon(ini, *e, false);
            e->BackgroundAlignment = ini.ReadInteger(s, QStringLiteral("BackgroundAlignment"), 0);
            e->BackgroundLeftShift = ini.ReadInteger(s, QStringLiteral("BackgroundLeftShift"), 0);
            e->BackgroundRightShift = ini.ReadInteger(s, QStringLiteral("BackgroundRightShift"), 0);
            SetElement(std::move(e));
        }
    }
    withSecond("Tabs", "Border");
    generic("StatusBarEdges");
    generic("Tab.Pane");
    if (TDataSkinObject* pane = Element(QStringLiteral("Tab.Pane"))) {
        pane->LeftWidth = std::min(pane->LeftWidth, 4);
        pane->TopHeight = std::min(pane->TopHeight, 4);
        pane->RightWidth = std::min(pane->RightWidth, 4);
        pane->BottomHeight = std::min(pane->BottomHeight, 4);
    }
    generic("ToolBars");
    withSecond("ComboButton", "****");
    generic("SunkEdge");
    if (auto* combo = ElementAs<TDataSkinBorder>(QStringLiteral("ComboButton")); combo && !combo->Bitmap.isNull())
        combo->Bitmap2 = combo->Bitmap.mirrored(true, false).convertToFormat(QImage::Format_RGB32);
    for (const char* s :
         {"ExtraImages", "Headerbar", "MenuItem", "MenuBackground", "Scrollbar", "HorzScroll", "VertScroll",
          "HorzScrollThumb", "VertScrollThumb", "Trackbar.ThumbHorz", "Trackbar.ThumbVert", "Trackbar.ThumbLeft",
          "Trackbar.ThumbRight", "Trackbar.ThumbUp", "Trackbar.ThumbDown"})
        generic(s);
    withSecond("UpDown.Horz", "GlyphImage");
    withSecond("UpDown.Vert", "GlyphImage");
    generic("Track");
    generic("TRACKVERT");

    for (const bool vertical : {false, true}) {
        const QString name = vertical ? QStringLiteral("TRACKVERT") : QStringLiteral("Track");
        if (Element(name))
            continue;
        auto e = std::make_unique<TDataSkinObject>(name);
        e->Bitmap = BuiltinTrackImage(vertical);
        e->LeftWidth = e->TopHeight = e->RightWidth = e->BottomHeight = 3;
        e->Tile = 0;
        e->Frame = 1;
        SetElement(std::move(e));
    }
}

void TSkinData::FixFrameCounts(const TQuickIni& ini)
{
    buttons_->Frame = 5;
    title_->Frame = 2;
    auto set = [this](const char* name, int frames) {
        if (TDataSkinObject* e = Element(QLatin1String(name)))
            e->Frame = frames;
    };
    if (TDataSkinObject* p = Element(QStringLiteral("Progress")))
        p->Frame = p->Style != 0 ? 1 : 2;
    set("MenuBar", 2);
    set("GroupBoxEdge", 2);
    set("ToolBars", 5);
    set("Tabs", 5);
    set("Tab.Pane", 1);
    set("StatusBarEdges", 3);
    set("GroupBox", 1);
    set("ComboButton", 4);
    set("SunkEdge", 4);
    set("ExtraImages", 5);
    if (TDataSkinObject* h = Element(QStringLiteral("Headerbar")); h && h->Frame == 0)
        h->Frame = 5;
    set("MenuItem", 5);
    set("MenuBackground", 1);
    set("Scrollbar", 23);
    set("HorzScroll", 4);
    set("VertScroll", 4);
    set("UpDown.Horz", 8);
    set("UpDown.Vert", 8);
    for (const char* s : {"Trackbar.ThumbHorz", "Trackbar.ThumbVert", "Trackbar.ThumbLeft", "Trackbar.ThumbRight",
                          "Trackbar.ThumbUp", "Trackbar.ThumbDown"})
        set(s, 5);
    for (const char* s : {"HorzScrollThumb", "VertScrollThumb"})
        if (TDataSkinObject* e = Element(QLatin1String(s)))
            e->Frame = ini.ReadInteger(QLatin1String(s), QStringLiteral("FrameCount"), 3);

    auto glyphFrames = [](const QImage& glyph) {
        if (glyph.isNull())
            return 4;
        return std::max(glyph.width() / (glyph.height() < 16 ? 13 : 16), 4);
    };
    if (buttons_->RadioFrame == 0)
        buttons_->RadioFrame = glyphFrames(buttons_->RadioBitmap);
    if (buttons_->CheckFrame == 0)
        buttons_->CheckFrame = glyphFrames(buttons_->CheckBitmap);
}

void TSkinData::BuildComboImages()
{
    auto* sunk = Element(QStringLiteral("SunkEdge"));
    auto* combo = Element(QStringLiteral("ComboButton"));
    if (!sunk || !combo)
        return;
    const int w = kScrollArrowWidth + 2;
    const int cells = std::max(sunk->Frame, 1);
    const TDataSkinObject* arrow = Element(QStringLiteral("ExtraImages"));

    QImage strip(50 * cells, 21, QImage::Format_RGB32);
    strip.fill(Colour(csButtonFace));
    {
        QPainter p(&strip);
        for (int f = 1; f <= cells; ++f) {
            const QRect cell(50 * (f - 1), 0, 50, 21);
            DrawElement(p, cell, sunk, sunk->Frame, f);
            const QRect button(cell.right() + 1 - w, 0, w, 21);
            DrawElement(p, button, combo, combo->Frame, f);
            if (arrow && !arrow->Bitmap.isNull()) {
                const QRect src = SkinFrameRect(*arrow, arrow->Frame, f);
                if (!src.isEmpty()) {
                    const QImage glyph = MagentaToTransparent(arrow->Bitmap.copy(src));
                    p.save();
                    p.setClipRect(button);
                    p.drawImage(button.center() - QPoint(glyph.width() / 2, glyph.height() / 2) + QPoint(1, 1), glyph);
                    p.restore();
                }
            }
            p.fillRect(QRect(QPoint(cell.left() + 2, 2), QPoint(cell.left() + 48 - w, 17)), kMagenta);
        }
    }
    combo->Bitmap = strip;
    combo->Style = 2;
    combo->LeftWidth = 2;
    combo->RightWidth = w + 2;
    sunk->Bitmap = strip.mirrored(true, false);
    sunk->LeftWidth = w + 2;
    sunk->RightWidth = 2;
}

void TSkinData::BuildComboxArrow()
{
    const auto* sunk = Element(QStringLiteral("SunkEdge"));
    const auto* combo = Element(QStringLiteral("ComboButton"));
    if (!combo)
        return;
    std::unique_ptr<TDataSkinObject> arrow;
    if (!sunk) {
        arrow = std::make_unique<TDataSkinObject>(QStringLiteral("ComboxArrow"));
        arrow->Bitmap = replaceMagenta(combo->Bitmap, Colour(csButtonFace));
        arrow->Frame = combo->Frame;
    }
    if (combo->Style == 2 && sunk && !combo->Bitmap.isNull()) {
        const int cells = std::max(sunk->Frame, 1);
        const int frameWidth = combo->Bitmap.width() / std::max(combo->Frame, 1);
        arrow = std::make_unique<TDataSkinObject>(QStringLiteral("ComboxArrow"));
        QImage strip(17 * cells, 17, QImage::Format_RGB32);
        strip.fill(Colour(csButtonFace));
        {
            QPainter p(&strip);
            for (int f = 0; f < cells; ++f) {
                const int right = frameWidth * (f + 1);
                const QRect src = QRect(right - 19, 2, 17, 17).intersected(combo->Bitmap.rect());
                if (!src.isEmpty())
                    p.drawImage(QPoint(17 * f, 0), combo->Bitmap, src);
            }
        }
        arrow->Bitmap = strip;
        arrow->Frame = cells;
    }
    if (arrow)
        SetElement(std::move(arrow));
}

void TSkinData::FinishParse()
{
    const QColor face = Colour(csButtonFace);
    borderColour_ = face;
    const QImage& top = top_->Bitmap;
    if (!top.isNull()) {
        const int frames = std::max(top_->Frame, 1);
        const QPoint at(top.width() / 3, (top.height() / frames) / 3);
        if (top.rect().contains(at))
            borderColour_ = top.pixelColor(at);
    }
    BuildToolbar();
    faceBrush_ = QBrush(face);
    notReady_ = false;
}

void TSkinData::BuildToolbar()
{
    // A vertical gradient from a lightened face colour to a grey that
    // takes up the border colour.
    const QColor white(255, 255, 255);
    const QColor from = Blend(Colour(csButtonFace), white, 150);
    QColor border = borderColour_;
    const int brightness = Brightness(border);
    if (brightness > 110)
        border = Blend(border, white, (5625 - 25 * brightness) / 140 + 50);
    const QColor to = Blend(QColor(128, 128, 128), border, 150);

    auto e = std::make_unique<TDataSkinObject>(QStringLiteral("Toolbar"));
    QImage img(10, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y) {
        const QColor c = Blend(to, from, y * 255 / 39);
        for (int x = 0; x < 10; ++x)
            img.setPixelColor(x, y, c);
    }
    e->Bitmap = img;
    e->Frame = 1;
    SetElement(std::move(e));
}
