#include "skin/ShippedSkin.h"
#include "skin/SkinData.h"
#include "skin/SkinReader.h"

#include <gtest/gtest.h>

#include <QFile>

TEST(ShippedSkin, DecodesToTheExpectedContainer)
{
    QFile file(QStringLiteral(VOSTREL_SHIPPED_SKIN_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    TSkinReader reader;
    ASSERT_TRUE(reader.Load(file.readAll()));
    EXPECT_EQ(reader.Version(), 70000u);
    EXPECT_EQ(reader.EntryCount(), 42);
    int bitmaps = 0;
    for (int i = 0; i < reader.EntryCount(); ++i) {
        if (!reader.Names()[i].endsWith(QLatin1String(".bmp")))
            continue;
        ++bitmaps;
        EXPECT_TRUE(reader.EntryData(i).startsWith("BM")) << reader.Names()[i].toStdString();
    }
    EXPECT_EQ(bitmaps, 41);
}

TEST(ShippedSkin, EmbeddedPayloadLoadsEveryElement)
{
    TSkinData skin;
    ASSERT_TRUE(LoadShippedSkin(skin));
    EXPECT_TRUE(skin.Ready());
    EXPECT_EQ(skin.SkinName(), "Vostrel Olive");
    for (const TDataSkinObject* e :
         {static_cast<TDataSkinObject*>(skin.Left()), static_cast<TDataSkinObject*>(skin.Right()),
          static_cast<TDataSkinObject*>(skin.Top()), static_cast<TDataSkinObject*>(skin.Bottom()),
          static_cast<TDataSkinObject*>(skin.Title()), static_cast<TDataSkinObject*>(skin.Buttons())})
        EXPECT_FALSE(e->Bitmap.isNull()) << e->Name.toStdString();
    EXPECT_FALSE(skin.Buttons()->CheckBitmap.isNull());
    EXPECT_FALSE(skin.Buttons()->RadioBitmap.isNull());
    for (const char* name : {"GroupBoxEdge",
                             "Tabs",
                             "Tab.Pane",
                             "StatusBarEdges",
                             "SunkEdge",
                             "ComboButton",
                             "ExtraImages",
                             "Headerbar",
                             "MenuItem",
                             "MenuBackground",
                             "MenuBar",
                             "Scrollbar",
                             "HorzScroll",
                             "VertScroll",
                             "HorzScrollThumb",
                             "VertScrollThumb",
                             "Progress",
                             "Progress.Chunk",
                             "Trackbar.ThumbHorz",
                             "Trackbar.ThumbVert",
                             "Trackbar.ThumbLeft",
                             "Trackbar.ThumbRight",
                             "Trackbar.ThumbUp",
                             "Trackbar.ThumbDown",
                             "UpDown.Horz",
                             "UpDown.Vert",
                             "ComboxArrow",
                             "Toolbar"}) {
        const TDataSkinObject* e = skin.Element(QLatin1String(name));
        ASSERT_NE(e, nullptr) << name;
        EXPECT_FALSE(e->Bitmap.isNull()) << name;
        EXPECT_GT(e->Frame, 0) << name;
        EXPECT_GT(e->Bitmap.width() / e->Frame, 0) << name;
    }
    EXPECT_FALSE(skin.ElementAs<TDataSkinBorder>("Tabs")->Bitmap2.isNull());
    EXPECT_EQ(skin.Top()->Bitmap.height() / skin.Top()->Frame, 28);
    // Five caption buttons (close, maximize, restore, minimize, icon) and the three MDI buttons.
    EXPECT_EQ(skin.SysButtons().size(), 8u);
    EXPECT_TRUE(skin.ColourGiven(TSkinData::csButtonFace));
    // The title is olive: green above red above blue.
    const QColor title = skin.Top()->Bitmap.pixelColor(60, 14);
    EXPECT_GT(title.green(), title.red());
    EXPECT_GT(title.red(), title.blue());

    skin.Loaded();
    skin.SetActive(true);
    EXPECT_TRUE(skin.Active());
}
