#include "SkinTestUtil.h"
#include "skin/SkinColour.h"
#include "skin/SkinData.h"
#include "skin/SkinReader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QVariant>

namespace {
// A TSkinData loaded from the given INI text and bitmaps.
std::unique_ptr<TSkinData> Load(const QByteArray& ini, const QList<SkinEntry>& bitmaps = {})
{
    auto data = std::make_unique<TSkinData>();
    QList<SkinEntry> entries = bitmaps;
    entries.append({"skin.ini", ini});
    data->SetHeldSkinFile(PackSkin(entries));
    EXPECT_TRUE(data->LoadSkinFromStore());
    return data;
}

const TDataSkinSysButton* Button(const TSkinData& d, const QString& name)
{
    for (const auto& b : d.SysButtons())
        if (b->Name == name)
            return b.get();
    return nullptr;
}
} // namespace

TEST(SkinColour, ColourOfRuns)
{
    const QColor def(1, 2, 3);
    EXPECT_EQ(ColourOf("255 128 0", def), QColor(255, 128, 0));
    EXPECT_EQ(ColourOf("12,34", def), QColor(12, 0, 0));
    EXPECT_EQ(ColourOf("300 0 0", def), QColor(44, 0, 0));
    EXPECT_EQ(ColourOf("", def), def);
    EXPECT_EQ(ColourOf("  1,2,3 ", def), QColor(1, 2, 3));
    EXPECT_EQ(ColourOf("1 2 3 4 5", def), QColor(1, 2, 3));
    EXPECT_EQ(ColourOf("none", def), QColor(0, 0, 0));
}

TEST(SkinData, PublishedDefaults)
{
    TSkinData d;
    EXPECT_FALSE(d.Active());
    EXPECT_EQ(d.DisableTag(), 99);
    EXPECT_EQ(d.SkinControls(),
              TSkinData::kAllControls
                  & ~(TSkinData::Bit(TSkinData::xcMenuItem) | TSkinData::Bit(TSkinData::xcFastReport)));
    EXPECT_EQ(d.Options(), TSkinData::Bit(TSkinData::xoPreview) | TSkinData::Bit(TSkinData::xoToolbarBK)
                               | TSkinData::Bit(TSkinData::xoCaptionButtonHint));
    EXPECT_EQ(d.property("Version").toString(), "1.0");
    d.setProperty("Version", "2.0");
    EXPECT_EQ(d.Version(), "1.0");
    EXPECT_EQ(d.SkinFormtype(), TSkinData::sfMainform);
    EXPECT_TRUE(d.MenuUpdate());
    EXPECT_FALSE(d.MenuMerge());
    EXPECT_TRUE(d.SkinNotReady());
    d.SetActive(true); // not ready: no effect
    EXPECT_FALSE(d.Active());
}

TEST(SkinData, StreamRoundTripAndEmptyPayload)
{
    TSkinData d;
    d.SetHeldSkinFile(PackSkin({{"s.ini", "[TitlebarSkin]\r\nSkinName=Round\r\n"}}));
    QByteArray payload;
    QBuffer out(&payload);
    out.open(QIODevice::WriteOnly);
    d.WriteSkinStream(out);
    EXPECT_EQ(payload.size(), d.HeldSkinFile().size() + 4);

    TSkinData e;
    QBuffer in(&payload);
    in.open(QIODevice::ReadOnly);
    e.ReadSkinStream(in);
    EXPECT_TRUE(e.Ready());
    EXPECT_EQ(e.SkinName(), "Round");

    QByteArray zero(4, '\0');
    QBuffer z(&zero);
    z.open(QIODevice::ReadOnly);
    TSkinData f;
    f.ReadSkinStream(z);
    EXPECT_TRUE(f.HeldSkinFile().isEmpty());
    EXPECT_TRUE(f.SkinNotReady());
}

TEST(SkinData, BitmapValuesNameEntriesByFileNameIgnoringCase)
{
    const QList<SkinEntry> bmps = {{"Edge.bmp", BmpBytes(SolidImage(8, 6))}};
    auto d = Load("[Personality]\nLeft=C:\\skins\\EDGE.bmp\nRight=edge.BMP\nTop=folder\\\nBottom=edge.bmp\n", bmps);
    EXPECT_EQ(d->Left()->Bitmap.size(), QSize(8, 6));
    EXPECT_TRUE(d->Right()->Bitmap.isNull());
    EXPECT_TRUE(d->Top()->Bitmap.isNull());
    EXPECT_EQ(d->Bottom()->Bitmap.size(), QSize(8, 6));
    // Defaults of the edges: one frame, stretched, transparent.
    EXPECT_EQ(d->Left()->Frame, 1);
    EXPECT_EQ(d->Left()->Tile, 1);
    EXPECT_EQ(d->Left()->Trans, 1);
}

TEST(SkinData, CaptionButtons)
{
    const QList<SkinEntry> bmps = {{"b60.bmp", BmpBytes(SolidImage(60, 20))},
                                   {"b120.bmp", BmpBytes(SolidImage(120, 20))},
                                   {"mdi.bmp", BmpBytes(SolidImage(48, 10))}};
    auto hidden = Load("[Button3]\nAction=-1\n[Buttons]\nBitmap=b60.bmp\n");
    EXPECT_EQ(Button(*hidden, "BUTTON3"), nullptr);
    EXPECT_EQ(hidden->SysButtons().size(), 3u); // the MDI buttons only

    auto d = Load("[Button3]\nAction=-1\nVisibility=0\n"
                  "[ButtonA]\nButtonImage=b60.bmp\n[ButtonB]\nButtonImage=b120.bmp\n"
                  "[ButtonMax]\nAction=1\nVisibility=2\nXcoord=40\nYcoord=3\n"
                  "[ButtonHelp]\nAction=4\nXcoord=1\n[ButtonIcon]\nAction=3\nButtonImage=b60.bmp\n"
                  "[Button.Radio]\nAction=0\n[MDICONTROLS]\nImage=mdi.bmp\n",
                  bmps);
    const auto* b3 = Button(*d, "BUTTON3");
    ASSERT_NE(b3, nullptr);
    EXPECT_EQ(b3->Visibility1, CaptionCondition::Unset);
    EXPECT_EQ(b3->Frame, 6);
    EXPECT_EQ(Button(*d, "BUTTONA")->Frame, 3);
    EXPECT_EQ(Button(*d, "BUTTONB")->Frame, 6);
    EXPECT_EQ(Button(*d, "BUTTONHELP")->Xcoord, 40);
    EXPECT_EQ(Button(*d, "BUTTONHELP")->Ycoord, 3);
    EXPECT_EQ(Button(*d, "BUTTON.RADIO"), nullptr);
    EXPECT_EQ(Button(*d, "BUTTONICON")->Bitmap.pixelColor(5, 5), QColor(255, 0, 255));

    const auto& all = d->SysButtons();
    ASSERT_EQ(all.size(), 9u); // six caption sections and the three MDI buttons
    for (int i = 0; i < 3; ++i) {
        const auto& m = all[all.size() - 3 + static_cast<size_t>(i)];
        EXPECT_EQ(static_cast<int>(m->Action), 7 + i);
        EXPECT_EQ(m->Align, CaptionAlign::MenuBar);
        EXPECT_EQ(m->Frame, 4);
        EXPECT_EQ(m->Bitmap.size(), QSize(16, 10)); // u = 4
        EXPECT_EQ(m->Xcoord, 8 * (3 - i));
    }

    // Numbers the frame gives no name are kept as stored.
    auto odd = Load("[ButtonOdd]\nAction=50\nAlign=5\nVisibility=500\nVisibility1=1500\n", bmps);
    const auto* o = Button(*odd, "BUTTONODD");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(static_cast<int>(o->Action), 50);
    EXPECT_EQ(static_cast<int>(o->Align), 5);
    EXPECT_EQ(static_cast<int>(o->Visibility), 500);
    EXPECT_EQ(static_cast<int>(o->Visibility1), 1500);
}

TEST(SkinData, ElementsAndFixedFrameCounts)
{
    const QList<SkinEntry> bmps = {{"p.bmp", BmpBytes(SolidImage(30, 30))},
                                   {"glyph.bmp", BmpBytes(SolidImage(104, 13))},
                                   {"glyph16.bmp", BmpBytes(SolidImage(48, 16))}};
    auto d = Load("[tab.pane]\nImage=p.bmp\nLeftWidth=6\nTopHeight=6\nRightWidth=3\nBottomHeight=6\nFrame=9\n"
                  "[Headerbar]\nImage=p.bmp\nFrame=2\n[ExtraImages]\nImage=p.bmp\nTile=2\n"
                  "[HorzScrollThumb]\nImage=p.bmp\nFrameCount=7\n[VertScrollThumb]\nImage=p.bmp\n"
                  "[Progress]\nBitmap=p.bmp\nStyle=1\nTile=5\n[SunkEdge]\nLeftWidth=3\n"
                  "[Buttons]\nCheckButton=glyph.bmp\nRadioButton=glyph16.bmp\n",
                  bmps);
    const TDataSkinObject* pane = d->Element("Tab.Pane");
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->LeftWidth, 4);
    EXPECT_EQ(pane->TopHeight, 4);
    EXPECT_EQ(pane->RightWidth, 3);
    EXPECT_EQ(pane->Frame, 1);
    EXPECT_EQ(d->Element("Headerbar")->Frame, 2);
    EXPECT_EQ(d->Element("ExtraImages")->Frame, 5);
    EXPECT_EQ(d->Element("ExtraImages")->Tile, 0);
    EXPECT_EQ(d->Element("HorzScrollThumb")->Frame, 7);
    EXPECT_EQ(d->Element("VertScrollThumb")->Frame, 3);
    EXPECT_EQ(d->Element("Progress")->Frame, 1);
    EXPECT_EQ(d->Element("Progress")->Tile, 1);
    EXPECT_EQ(d->Element("SunkEdge"), nullptr); // no image key, no element
    EXPECT_EQ(d->Buttons()->Frame, 5);
    EXPECT_EQ(d->Buttons()->CheckFrame, 8);
    EXPECT_EQ(d->Buttons()->RadioFrame, 4);
    EXPECT_EQ(d->Title()->Frame, 2);
    // Track channels fall back on the program's own images.
    EXPECT_EQ(d->Element("Track")->LeftWidth, 3);
    EXPECT_FALSE(d->Element("TRACKVERT")->Bitmap.isNull());
    EXPECT_EQ(d->Element("Toolbar")->Bitmap.size(), QSize(10, 40));
}

TEST(SkinData, ColoursTitleAndBorderColour)
{
    QImage top = SolidImage(30, 20, QColor(9, 9, 9));
    top.setPixelColor(10, 3, QColor(100, 110, 50)); // (w/3, (h/2)/3)
    auto d = Load("[Colours]\nButtonFace=200 100 50\nHilight=0x10\n[Colour1]\ncolor=1 2 3\n[COLOURS2]\n"
                  "[Customcolors]\nColor3=7 8 9\n[Personality]\nTop=top.bmp\nTopFrame=2\n"
                  "ActiveTextR=1\nActiveTextG=2\nActiveTextB=258\nInActiveTextR=5\n",
                  {{"top.bmp", BmpBytes(top)}});
    EXPECT_EQ(d->Colour(TSkinData::csButtonFace), QColor(200, 100, 50));
    EXPECT_EQ(d->Colour(TSkinData::csMenubar), QColor(200, 100, 50)); // follows ButtonFace
    EXPECT_TRUE(d->ColourGiven(TSkinData::csButtonFace));
    EXPECT_FALSE(d->ColourGiven(TSkinData::csMenubar));
    EXPECT_EQ(d->SectionColours().size(), 2);
    EXPECT_EQ(d->SectionColours()[0], QColor(1, 2, 3));
    EXPECT_EQ(d->CustomColour(3), QColor(7, 8, 9));
    EXPECT_EQ(d->CustomColour(4), QColor(255, 255, 255));
    EXPECT_EQ(d->Title()->ActiveTextColour, 0x010202);
    EXPECT_EQ(d->Title()->InactiveTextColour, TDataSkinTitle::kNoColour);
    EXPECT_EQ(d->BorderColour(), QColor(100, 110, 50));
    EXPECT_EQ(d->FaceBrush().color(), QColor(200, 100, 50));
}

TEST(SkinData, ComboStripsAndArrow)
{
    QImage sunk = SolidImage(120, 21, QColor(200, 200, 200));
    QImage combo = SolidImage(76, 21, QColor(0, 0, 200));
    auto d = Load("[SunkEdge]\nImage=sunk.bmp\n[ComboButton]\nImage=combo.bmp\n",
                  {{"sunk.bmp", BmpBytes(sunk)}, {"combo.bmp", BmpBytes(combo)}});
    const auto* c = d->ElementAs<TDataSkinBorder>("ComboButton");
    const auto* s = d->Element("SunkEdge");
    ASSERT_TRUE(c && s);
    EXPECT_EQ(c->Bitmap.size(), QSize(200, 21));
    EXPECT_EQ(c->Style, 2);
    EXPECT_EQ(c->RightWidth, TSkinData::kScrollArrowWidth + 4);
    EXPECT_EQ(c->Bitmap2.size(), QSize(76, 21)); // the mirrored original
    EXPECT_EQ(c->Bitmap.pixelColor(10, 10), QColor(255, 0, 255));
    EXPECT_EQ(c->Bitmap.pixelColor(45, 10), QColor(0, 0, 200));
    EXPECT_EQ(c->Bitmap.pixelColor(0, 10), QColor(200, 200, 200));
    EXPECT_EQ(s->Bitmap.pixelColor(199 - 45, 10), QColor(0, 0, 200)); // mirrored
    const auto* arrow = d->Element("ComboxArrow");
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->Bitmap.size(), QSize(68, 17));
    EXPECT_EQ(arrow->Frame, 4);

    QImage magentaCombo = SolidImage(76, 21, QColor(255, 0, 255));
    auto alone =
        Load("[Colours]\nButtonFace=1 2 3\n[ComboButton]\nImage=combo.bmp\n", {{"combo.bmp", BmpBytes(magentaCombo)}});
    ASSERT_NE(alone->Element("ComboxArrow"), nullptr);
    EXPECT_EQ(alone->Element("ComboxArrow")->Bitmap.pixelColor(3, 3), QColor(1, 2, 3));
}

TEST(SkinData, FailedLoadStaysNotReady)
{
    TSkinData d;
    d.SetHeldSkinFile(PackSkin({{"s.ini", "[A]"}}, 10000));
    EXPECT_FALSE(d.LoadSkinFromStore());
    EXPECT_TRUE(d.SkinNotReady());
    d.SetActive(true);
    EXPECT_FALSE(d.Active());
}

TEST(SkinData, MayBeSkinned)
{
    TSkinData d;
    EXPECT_FALSE(d.MayBeSkinned("SysMonthCal32", true));
    EXPECT_TRUE(d.MayBeSkinned("TfrPreview", true));
    d.SetSkinControls(d.SkinControls() | TSkinData::Bit(TSkinData::xcFastReport));
    EXPECT_FALSE(d.MayBeSkinned("TfrPreview", true));
    d.OnFormSkin = [](QObject*, const QString& name, bool& doSkin) { doSkin = name == "SysMonthCal32"; };
    EXPECT_TRUE(d.MayBeSkinned("SysMonthCal32", false));
}
