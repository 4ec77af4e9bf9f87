// Scroll bars of scroll areas: groove and thumb from the scroll elements,
// the bars keep scrolling, and detaching gives the plain look back.
#include "SkinData.h"
#include "SkinEngineTestUtil.h"
#include "SkinScrollbar.h"

#include <QApplication>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

const QColor kThumb[3] = {QColor(200, 0, 0), QColor(0, 180, 0), QColor(0, 0, 200)};
const QColor kTrack(30, 160, 160);
const QColor kHorzThumb(160, 30, 160);

QImage Frames(int count, int w, int h, const QColor* colours)
{
    QImage img(count * w, h, QImage::Format_RGB32);
    QPainter p(&img);
    for (int f = 0; f < count; ++f)
        p.fillRect(f * w, 0, w, h, colours[f]);
    return img;
}

void UseSolidScrollElements(TSkinData& data)
{
    TDataSkinObject* thumb = data.Element(QStringLiteral("VertScrollThumb"));
    TDataSkinObject* track = data.Element(QStringLiteral("VertScroll"));
    TDataSkinObject* horz = data.Element(QStringLiteral("HorzScrollThumb"));
    ASSERT_TRUE(thumb && track && horz);
    thumb->Bitmap = Frames(3, 17, 20, kThumb);
    const QColor tracks[4] = {kTrack, kTrack, kTrack, kTrack};
    track->Bitmap = Frames(4, 17, 20, tracks);
    const QColor horzThumbs[3] = {kHorzThumb, kHorzThumb, kHorzThumb};
    horz->Bitmap = Frames(3, 20, 17, horzThumbs);
}

struct Memo {
    QPlainTextEdit edit;
    Memo()
    {
        edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QStringLiteral("line %1 ").arg(i).repeated(i == 3 ? 30 : 1);
        edit.setPlainText(lines.join(QLatin1Char('\n')));
        edit.resize(240, 180);
        edit.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&edit));
        QApplication::processEvents();
    }
};

QRect Part(QScrollBar& bar, QStyle::SubControl sc)
{
    QStyleOptionSlider opt;
    TSkinScrollbar::FillOption(bar, opt);
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt, sc, &bar);
}

} // namespace

TEST(SkinScrollbar, ThumbAndTrackComeFromTheScrollElements)
{
    auto data = LoadedShippedSkin();
    UseSolidScrollElements(*data);
    Memo m;
    auto* skin = new TSkinScrollbar(&m.edit);
    skin->Attach(nullptr, data.get(), false);
    QScrollBar& bar = *m.edit.verticalScrollBar();
    ASSERT_TRUE(bar.isVisible());

    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarSlider).center()), kThumb[0]);
    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarAddPage).center()), kTrack);
    QScrollBar& hbar = *m.edit.horizontalScrollBar();
    ASSERT_TRUE(hbar.isVisible());
    EXPECT_EQ(PixelAt(Grab(&hbar), Part(hbar, QStyle::SC_ScrollBarSlider).center()), kHorzThumb);

    // A pressed thumb uses the pressed frame; the drag still moves it.
    const QPoint grip = Part(bar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarSlider).center()), kThumb[2]);
    QTest::mouseMove(&bar, grip + QPoint(0, 40));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, 40));
    EXPECT_GT(bar.value(), 0);
    // Released: the cursor still rests on it, so hot rather than pressed.
    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarSlider).center()), kThumb[1]);

    // Nothing to scroll: no thumb.
    bar.setRange(0, 0);
    const QImage empty = Grab(&bar);
    for (int y = 0; y < empty.height(); ++y)
        ASSERT_NE(PixelAt(empty, QPoint(bar.width() / 2, y)), kThumb[0]);
}

TEST(SkinScrollbar, SkinnedBarStillScrollsByClickAndWheel)
{
    auto data = LoadedShippedSkin();
    UseSolidScrollElements(*data);
    Memo m;
    auto* skin = new TSkinScrollbar(&m.edit);
    skin->Attach(nullptr, data.get(), false);
    QScrollBar& bar = *m.edit.verticalScrollBar();

    QTest::mouseClick(&bar, Qt::LeftButton, {}, Part(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(bar.value(), bar.singleStep());
    QTest::mouseClick(&bar, Qt::LeftButton, {}, Part(bar, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_GT(bar.value(), bar.singleStep());

    const int before = bar.value();
    const QPoint at = bar.rect().center();
    QWheelEvent wheel(at, bar.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&bar, &wheel);
    EXPECT_GT(bar.value(), before);
}

TEST(SkinScrollbar, DetachGivesTheBarsTheirOwnLookBack)
{
    auto data = LoadedShippedSkin();
    UseSolidScrollElements(*data);
    Memo m;
    QScrollBar& bar = *m.edit.verticalScrollBar();
    const bool hover = bar.testAttribute(Qt::WA_Hover);
    const QImage plain = Grab(&bar);
    auto* skin = new TSkinScrollbar(&m.edit);
    skin->Attach(nullptr, data.get(), false);
    EXPECT_NE(Grab(&bar), plain);
    skin->Detach();
    EXPECT_EQ(Grab(&bar), plain);
    EXPECT_EQ(bar.testAttribute(Qt::WA_Hover), hover);
    delete skin;
    EXPECT_EQ(Grab(&bar), plain);
}

TEST(SkinScrollbar, AreaDestroyedBeforeItsSkinner)
{
    auto data = LoadedShippedSkin();
    auto* m = new Memo;
    // Owned elsewhere, as a form frame owns its skinners.
    QObject owner;
    auto* skin = new TSkinScrollbar(&m->edit);
    skin->setParent(&owner);
    skin->Attach(nullptr, data.get(), false);
    delete m;
    EXPECT_EQ(skin->State(), TSkinControl::csDestroyed);

    // Owned by its control, it goes with it.
    auto* n = new Memo;
    QPointer<TSkinScrollbar> owned = new TSkinScrollbar(&n->edit);
    owned->Attach(nullptr, data.get(), false);
    delete n;
    EXPECT_TRUE(owned.isNull());
}
