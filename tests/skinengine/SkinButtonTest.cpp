// Push buttons: which Buttons frame is drawn in which state, the caption, the
// focus rectangle, the click delivered by the skinner, the parent showing
// through, and the plain look after detaching.
#include "skin/engine/SkinButton.h"
#include "SkinEngineTestUtil.h"
#include "skin/SkinData.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QColor kFrameColours[5] = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200), QColor(200, 200, 0),
                                 QColor(0, 200, 200)};
const QColor kMagenta(255, 0, 255);
const QColor kText(20, 20, 20);

// Five solid 10 x 10 frames side by side.
QImage SolidFrames()
{
    QImage image(50, 10, QImage::Format_RGB32);
    QPainter p(&image);
    for (int i = 0; i < 5; ++i)
        p.fillRect(i * 10, 0, 10, 10, kFrameColours[i]);
    return image;
}

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = LoadedShippedSkin();
        TDataSkinButton* b = data->Buttons();
        b->Bitmap = SolidFrames();
        b->LeftWidth = b->TopHeight = b->RightWidth = b->BottomHeight = 4;
        b->Trans = 1;
        b->HasNormalColour2 = true;
        b->NormalColour2 = kText;
        b->HasMouseOverColour2 = b->HasPressedColour2 = false;
        window.resize(200, 100);
        button = new QPushButton(&window);
        button->setGeometry(20, 20, 100, 40);
        other = new QPushButton(QStringLiteral("other"), &window);
        other->setGeometry(20, 70, 60, 20);
    }

    TSkinButton* Skin()
    {
        auto* s = new TSkinButton(button);
        s->Attach(nullptr, data.get(), false);
        return s;
    }
    void ShowActive()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QApplication::processEvents();
    }
    // Colour of the frame drawn at the button's corner.
    QColor Corner() { return PixelAt(Grab(button), QPoint(1, 1)); }
    QColor FrameColour(int frame) const { return kFrameColours[frame - 1]; }

    std::unique_ptr<TSkinData> data;
    QWidget window;
    QPushButton* button = nullptr;
    QPushButton* other = nullptr;
};

// Counts the rows that hold a pixel other than the frame colour.
int InkRows(const QImage& image, const QColor& frame)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != frame) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

TEST_F(SkinButtonTest, FrameFollowsTheStateInItsOrderOfPrecedence)
{
    Skin();
    ShowActive();
    EXPECT_EQ(Corner(), FrameColour(1));

    button->setDefault(true);
    EXPECT_EQ(Corner(), FrameColour(5)) << "default";

    QTest::mouseMove(button, QPoint(50, 20));
    EXPECT_EQ(Corner(), FrameColour(4)) << "hot wins over default";

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_TRUE(button->hasFocus()) << "a press takes the focus";
    EXPECT_FALSE(button->isDown()) << "the press is not passed on";
    EXPECT_EQ(Corner(), FrameColour(2)) << "pressed wins over hot and default";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 20));

    button->setDefault(false);
    EXPECT_EQ(Corner(), FrameColour(4)) << "still under the mouse";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(Corner(), FrameColour(5)) << "focused";

    QTest::mouseMove(button, QPoint(50, 20));
    button->setEnabled(false);
    EXPECT_EQ(Corner(), FrameColour(3)) << "disabled under the mouse";
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(Corner(), FrameColour(3)) << "disabled and pressed";
}

TEST_F(SkinButtonTest, DisabledCaptionUsesTheShadowColour)
{
    button->setText(QStringLiteral("WWW"));
    Skin();
    button->setEnabled(false);
    const QImage image = Grab(button);
    bool shadow = false, normal = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            shadow = shadow || image.pixelColor(x, y) == data->Colour(TSkinData::csButtonShadow);
            normal = normal || image.pixelColor(x, y) == kText;
        }
    EXPECT_TRUE(shadow);
    EXPECT_FALSE(normal);
}

TEST_F(SkinButtonTest, DoubleBarBreaksTheCaption)
{
    Skin();
    button->setText(QStringLiteral("AB"));
    const int oneLine = InkRows(Grab(button), FrameColour(1));
    button->setText(QStringLiteral("A||B"));
    const int twoLines = InkRows(Grab(button), FrameColour(1));
    const int lineHeight = QFontMetrics(button->font()).height();
    EXPECT_GT(oneLine, 0);
    EXPECT_LT(oneLine, lineHeight);
    EXPECT_GT(twoLines, lineHeight);
}

// A caption font given in points (a message box's buttons) comes out as tall
// as in a plain control, not at an image's 72 dpi.
TEST_F(SkinButtonTest, CaptionInPointsIsAsTallAsAPlainControlsText)
{
    Skin();
    QFont font = button->font();
    font.setPointSize(20);
    button->setFont(font);
    button->setText(QStringLiteral("E"));
    QLabel plain(QStringLiteral("E"));
    plain.setFont(font);
    plain.resize(button->size());
    const QImage label = plain.grab().toImage();
    const int expected = InkRows(label, label.pixelColor(0, 0));
    EXPECT_GT(expected, 10);
    EXPECT_NEAR(InkRows(Grab(button), FrameColour(1)), expected, 2);
}

TEST_F(SkinButtonTest, FocusRectangleUnlessTheSkinTurnsItOff)
{
    // A default button draws the same frame as a focused one, without the
    // focus rectangle.
    button->setText(QStringLiteral("Go"));
    Skin();
    ShowActive();
    button->setDefault(true);
    const QImage unfocused = Grab(button);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    EXPECT_NE(Grab(button), unfocused);

    data->SetOptions(data->Options() | TSkinData::Bit(TSkinData::xoNoFocusRect));
    EXPECT_EQ(Grab(button), unfocused);
}

TEST_F(SkinButtonTest, ReleaseClicksOnlyOverAPressedButton)
{
    TSkinButton* s = Skin();
    ShowActive();
    QSignalSpy clicks(button, &QPushButton::clicked);

    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(clicks.count(), 0) << "not pressed";

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(s->IsPressed());

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 20));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(Corner(), FrameColour(5)) << "the leave released it";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 20));
    EXPECT_EQ(clicks.count(), 1) << "released outside after the leave";

    // Released outside with no leave seen: still no click.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 20));
    EXPECT_EQ(clicks.count(), 1);

    // The second press of a double click presses it as well.
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_TRUE(s->IsPressed());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(SkinButtonTest, SpaceKeyPressesAndClicksOnce)
{
    Skin();
    ShowActive();
    button->setFocus();
    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_EQ(Corner(), FrameColour(2));
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(Corner(), FrameColour(5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SkinButtonTest, TransparentButtonShowsItsParentThroughMagenta)
{
    // Frame 1 with a magenta middle.
    QImage frames = SolidFrames();
    {
        QPainter p(&frames);
        p.fillRect(4, 4, 2, 2, kMagenta);
    }
    data->Buttons()->Bitmap = frames;
    const QColor parentColour(10, 120, 30);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, parentColour);
    window.setPalette(pal);
    window.setAutoFillBackground(true);

    Skin();
    EXPECT_EQ(PixelAt(Grab(button), QPoint(50, 8)), data->FaceColour()) << "no tag: the face colour";

    auto* tagged = new QPushButton(&window);
    tagged->setGeometry(20, 20, 100, 40);
    tagged->setProperty("Tag", 5555);
    auto* s = new TSkinButton(tagged);
    s->Attach(nullptr, data.get(), false);
    EXPECT_TRUE(s->ParentBackground());
    const QImage image = Grab(tagged);
    EXPECT_EQ(PixelAt(image, QPoint(50, 8)), parentColour);
    EXPECT_EQ(PixelAt(image, QPoint(1, 1)), FrameColour(1));
    // Drawn as part of the whole window too (the parent is being painted).
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(PixelAt(Grab(&window), QPoint(70, 28)), parentColour);

    data->SetOptions(data->Options() | TSkinData::Bit(TSkinData::xoTransparent));
    auto* optioned = new QPushButton(&window);
    optioned->setGeometry(20, 20, 100, 40);
    (new TSkinButton(optioned))->Attach(nullptr, data.get(), false);
    EXPECT_EQ(PixelAt(Grab(optioned), QPoint(50, 8)), parentColour);
}

TEST_F(SkinButtonTest, DetachGivesThePlainLookBack)
{
    button->setText(QStringLiteral("Plain"));
    const QImage plain = Grab(button);
    const bool tracking = button->hasMouseTracking();
    TSkinButton* s = Skin();
    EXPECT_TRUE(button->hasMouseTracking());
    const QImage skinned = Grab(button);
    EXPECT_NE(skinned, plain);
    s->Detach();
    EXPECT_EQ(Grab(button), plain);
    EXPECT_EQ(button->hasMouseTracking(), tracking);

    // Detached, the button handles the mouse itself again.
    ShowActive();
    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SkinButtonTest, EmptyButtonsBitmapLeavesTheButtonItsOwnPainting)
{
    const QImage plain = Grab(button);
    data->Buttons()->Bitmap = QImage();
    Skin();
    EXPECT_EQ(Grab(button), plain);
}

} // namespace
