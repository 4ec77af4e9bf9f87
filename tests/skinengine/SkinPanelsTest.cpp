// Edits, group boxes, status bars and boxes: what each skinner draws, and the
// control's own look back after detaching.
#include "SkinEngineTestUtil.h"
#include "skin/SkinData.h"
#include "skin/engine/SkinBox.h"
#include "skin/engine/SkinEdit.h"
#include "skin/engine/SkinGroupBox.h"
#include "skin/engine/SkinStatusBar.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kSunken(200, 0, 0), kRaised(0, 200, 0), kFlat(0, 0, 200);
const QColor kGrip(250, 130, 10), kMagenta(255, 0, 255);
const QColor kPanelText(90, 0, 160);

QImage Frames(std::initializer_list<QColor> colours, int size)
{
    QImage image(size * int(colours.size()), size, QImage::Format_RGB32);
    QPainter p(&image);
    int x = 0;
    for (const QColor& c : colours) {
        p.fillRect(x, 0, size, size, c);
        x += size;
    }
    return image;
}

bool Contains(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

class SkinPanelsTest : public ::testing::Test {
protected:
    void SetUp() override { data = LoadedShippedSkin(); }
    QColor Shadow() const { return data->Colour(TSkinData::csButtonShadow); }
    std::unique_ptr<TSkinData> data;
};

TEST_F(SkinPanelsTest, EditGetsThreeRingsOnlyWhenItHasAFrame)
{
    QLineEdit edit(QStringLiteral("text"));
    edit.resize(120, 24);
    const QImage plain = Grab(&edit);
    auto* s = new TSkinEdit(&edit);
    s->Attach(nullptr, data.get(), false);
    const QImage skinned = Grab(&edit);
    for (const QPoint p : {QPoint(0, 0), QPoint(119, 23), QPoint(60, 0), QPoint(0, 12)})
        EXPECT_EQ(PixelAt(skinned, p), Shadow()) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(1, 1), QPoint(2, 2), QPoint(117, 21), QPoint(60, 2)})
        EXPECT_EQ(PixelAt(skinned, p), QColor(Qt::white)) << p.x() << "," << p.y();

    edit.setFrame(false);
    const QImage frameless = Grab(&edit);
    s->Detach();
    EXPECT_EQ(Grab(&edit), frameless) << "no frame: nothing drawn over it";
    edit.setFrame(true);
    EXPECT_EQ(Grab(&edit), plain);
}

TEST_F(SkinPanelsTest, GroupBoxDrawsItsFrameAndCaptionOnTheFace)
{
    QGroupBox box;
    box.resize(160, 80);
    QPalette pal = box.palette();
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    box.setPalette(pal);
    const QImage plain = Grab(&box);
    auto* s = new TSkinGroupBox(&box);
    s->Attach(nullptr, data.get(), false);

    const int h = QFontMetrics(box.font()).height();
    const int top = h / 2 - 1;
    QImage image = Grab(&box);
    EXPECT_EQ(PixelAt(image, QPoint(80, 40)), data->FaceColour());
    EXPECT_EQ(PixelAt(image, QPoint(1, 40)), Shadow()) << "left edge";
    EXPECT_EQ(PixelAt(image, QPoint(158, 40)), Shadow()) << "right edge ends before the last column";
    EXPECT_EQ(PixelAt(image, QPoint(80, 78)), Shadow()) << "bottom edge ends before the last row";
    EXPECT_EQ(PixelAt(image, QPoint(80, top)), Shadow()) << "no caption: an unbroken top edge";
    EXPECT_EQ(PixelAt(image, QPoint(159, 40)), data->FaceColour());
    EXPECT_EQ(PixelAt(image, QPoint(80, 79)), data->FaceColour());

    box.setTitle(QStringLiteral("WWWW"));
    image = Grab(&box);
    const QRect caption = s->CaptionRect(box.rect());
    EXPECT_EQ(caption.left(), 8);
    EXPECT_FALSE(Contains(image, QRect(caption.left(), top, caption.width(), 1), Shadow()))
        << "the caption covers the top edge";
    EXPECT_TRUE(Contains(image, caption, QColor(255, 0, 0)));
    EXPECT_EQ(PixelAt(image, QPoint(caption.right() + 3, top)), Shadow());

    box.setAlignment(Qt::AlignRight);
    EXPECT_EQ(s->CaptionRect(box.rect()).right(), 159 - 8);

    box.setTitle(QString());
    box.setAlignment(Qt::AlignLeft);
    s->Detach();
    EXPECT_EQ(Grab(&box), plain);
}

class SkinStatusBarTest : public SkinPanelsTest {
protected:
    void SetUp() override
    {
        SkinPanelsTest::SetUp();
        edges = data->Element(QStringLiteral("StatusBarEdges"));
        ASSERT_NE(edges, nullptr);
        edges->Bitmap = Frames({kSunken, kRaised, kFlat}, 8);
        edges->LeftWidth = edges->TopHeight = edges->RightWidth = edges->BottomHeight = 2;
        edges->NormalColour2 = kPanelText;
        extra = data->Element(QStringLiteral("ExtraImages"));
        ASSERT_NE(extra, nullptr);
        // Frame 5: the grip colour with a magenta top-left quarter.
        extra->Bitmap = Frames({Qt::gray, Qt::gray, Qt::gray, Qt::gray, kGrip}, 12);
        QPainter p(&extra->Bitmap);
        p.fillRect(48, 0, 6, 6, kMagenta);
    }
    QLabel* AddPanel(int width, QFrame::Shadow shadow, QFrame::Shape shape = QFrame::Panel)
    {
        auto* label = new QLabel(QStringLiteral("MMMM"), &bar);
        label->setFixedWidth(width);
        label->setFrameShape(shape);
        label->setFrameShadow(shadow);
        bar.addWidget(label);
        return label;
    }
    void Layout()
    {
        bar.resize(400, 23);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }
    TSkinStatusBar* Skin()
    {
        auto* s = new TSkinStatusBar(&bar);
        s->Attach(nullptr, data.get(), false);
        return s;
    }

    TDataSkinObject* edges = nullptr;
    TDataSkinObject* extra = nullptr;
    QStatusBar bar;
};

TEST_F(SkinStatusBarTest, PanelsDrawTheirEdgesAndTheLastReachesTheRightEdge)
{
    bar.setSizeGripEnabled(false);
    QLabel* a = AddPanel(100, QFrame::Sunken);
    QLabel* b = AddPanel(50, QFrame::Raised);
    QLabel* c = AddPanel(80, QFrame::Plain, QFrame::NoFrame);
    Layout();
    const QImage plain = Grab(&bar);
    TSkinStatusBar* s = Skin();

    const QList<TSkinStatusBar::Panel> panels = s->Panels();
    ASSERT_EQ(panels.size(), 3);
    EXPECT_EQ(panels[0].Label, a);
    EXPECT_EQ(panels[0].Rect.right(), a->geometry().right() + 2);
    EXPECT_EQ(panels[2].Rect.right(), bar.width() - 1);

    const QImage image = Grab(&bar);
    const int y = a->y();
    EXPECT_EQ(PixelAt(image, QPoint(a->x(), y)), kSunken);
    EXPECT_EQ(PixelAt(image, QPoint(b->x(), y)), kRaised);
    EXPECT_EQ(PixelAt(image, QPoint(c->x(), y)), kFlat);
    EXPECT_EQ(PixelAt(image, QPoint(bar.width() - 1, y)), kFlat);
    EXPECT_TRUE(Contains(image, a->geometry(), kPanelText)) << "the label's text in the skin's colour";

    s->Detach();
    EXPECT_EQ(Grab(&bar), plain);
}

TEST_F(SkinStatusBarTest, SimpleBarIsOneSunkenPanelWithTheMessage)
{
    bar.setSizeGripEnabled(false);
    AddPanel(100, QFrame::Raised);
    Layout();
    TSkinStatusBar* s = Skin();
    bar.showMessage(QStringLiteral("MMMMMMMM"));
    QApplication::processEvents();
    EXPECT_TRUE(s->Panels().isEmpty()) << "a message hides the panels";
    const QImage image = Grab(&bar);
    EXPECT_EQ(PixelAt(image, QPoint(0, 0)), kSunken);
    EXPECT_EQ(PixelAt(image, QPoint(399, 22)), kSunken);
    EXPECT_TRUE(Contains(image, QRect(2, 2, 120, 19), kPanelText));
}

TEST_F(SkinStatusBarTest, SizeGripComesFromExtraImages)
{
    bar.setSizeGripEnabled(true);
    Layout();
    const QImage plain = Grab(&bar);
    TSkinStatusBar* s = Skin();
    const QImage image = Grab(&bar);
    EXPECT_EQ(PixelAt(image, QPoint(399, 22)), kGrip);
    EXPECT_EQ(PixelAt(image, QPoint(388, 11)), kSunken) << "magenta shows the bar under it";
    EXPECT_EQ(PixelAt(image, QPoint(387, 22)), kSunken);
    s->Detach();
    EXPECT_EQ(Grab(&bar), plain);
}

TEST_F(SkinPanelsTest, BoxTakesTheFaceColourAndGivesItsOwnBack)
{
    QWidget plain;
    plain.resize(40, 30);
    QWidget coloured;
    coloured.resize(40, 30);
    QPalette pal = coloured.palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    coloured.setPalette(pal);
    coloured.setAutoFillBackground(true);
    const QImage before = Grab(&coloured);

    auto* a = new TSkinBox(&plain);
    a->Attach(nullptr, data.get(), true);
    auto* b = new TSkinBox(&coloured);
    b->Attach(nullptr, data.get(), true);
    EXPECT_EQ(plain.palette().color(QPalette::Window), data->FaceColour());
    EXPECT_EQ(PixelAt(Grab(&coloured), QPoint(20, 15)), data->FaceColour());

    a->Detach();
    b->Detach();
    EXPECT_FALSE(plain.testAttribute(Qt::WA_SetPalette)) << "it follows the application palette again";
    EXPECT_FALSE(plain.autoFillBackground());
    EXPECT_EQ(coloured.palette().color(QPalette::Window), QColor(1, 2, 3));
    EXPECT_EQ(Grab(&coloured), before);
}

} // namespace
