#include "EventPump.h"
#include "base/GbkCodec.h"
#include "shell/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

namespace {

// An icon whose events are written down in the order they come.
class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        icon = std::make_unique<TTrayIcon>(nullptr);
        icon->OnClick = [this] { log << "click"; };
        icon->OnMouseDown = [this](TMouseButton b, TShiftState, int, int) { log << "down" + name(b); };
        icon->OnMouseUp = [this](TMouseButton b, TShiftState, int, int) { log << "up" + name(b); };
    }
    void TearDown() override
    {
        if (menu.isVisible())
            menu.hide();
    }

    static QString name(TMouseButton b)
    {
        return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
    }
    void send(std::initializer_list<TTrayMessage> messages)
    {
        for (TTrayMessage m : messages)
            TTrayIconHandler::Instance()->CallbackWindowProc(icon->IconId(), m);
    }

    std::unique_ptr<TTrayIcon> icon;
    QMenu menu;
    QStringList log;
};

using M = TTrayMessage;

} // namespace

TEST_F(TrayIconTest, LeftClickFiresOnClickOnceOnReleaseAndDoubleClickAddsNoSecondClick)
{
    send({M::LButtonDown});
    EXPECT_EQ(log, QStringList({"downL"})); // nothing on the press itself
    send({M::LButtonUp});
    EXPECT_EQ(log, QStringList({"downL", "click", "upL"}));

    // down, up, double click, up: one click and, without a default item, nothing else
    log.clear();
    QAction* item = menu.addAction(QStringLiteral("item"));
    int triggered = 0;
    QObject::connect(item, &QAction::triggered, [&] { ++triggered; });
    icon->SetPopupMenu(&menu);
    send({M::LButtonDown, M::LButtonUp, M::LButtonDblClk, M::LButtonUp});
    EXPECT_EQ(log.count("click"), 1);
    EXPECT_EQ(triggered, 0);
    EXPECT_FALSE(menu.isVisible());

    // with a default item, the double click chooses it
    menu.setDefaultAction(item);
    send({M::LButtonDown, M::LButtonUp, M::LButtonDblClk, M::LButtonUp});
    EXPECT_EQ(triggered, 1);

    // a release without a press before it is no click
    log.clear();
    send({M::LButtonUp});
    EXPECT_EQ(log, QStringList({"upL"}));
}

TEST_F(TrayIconTest, WithOnDblClickTheSingleClickWaitsForTheDoubleClickTime)
{
    int doubles = 0;
    icon->OnDblClick = [&] { ++doubles; };
    send({M::LButtonDown, M::LButtonUp});
    EXPECT_EQ(log.count("click"), 0);
    pumpEvents(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 150);
    EXPECT_EQ(log.count("click"), 1);

    log.clear();
    send({M::LButtonDown, M::LButtonUp, M::LButtonDblClk, M::LButtonUp});
    pumpEvents(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 150);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(log.count("click"), 0);
}

TEST_F(TrayIconTest, RightPressOpensTheMenuAndDisabledIconIgnoresTheMouse)
{
    menu.addAction(QStringLiteral("item"));
    icon->SetPopupMenu(&menu);
    send({M::LButtonDown, M::LButtonUp});
    EXPECT_FALSE(menu.isVisible()); // the left button opens no menu by default
    send({M::RButtonDown});
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.property("popupComponent").value<QObject*>(), icon.get());
    send({M::RButtonUp});
    EXPECT_EQ(log.mid(log.size() - 2), QStringList({"downR", "upR"}));
    menu.hide();

    icon->SetLeftPopup(true);
    send({M::LButtonDown});
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    log.clear();
    icon->SetEnabled(false);
    send({M::LButtonDown, M::LButtonUp, M::RButtonDown, M::RButtonUp, M::MButtonDown, M::MButtonUp});
    EXPECT_TRUE(log.isEmpty());
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(TrayIconTest, PlatformActivationsStandForPressAndRelease)
{
    menu.addAction(QStringLiteral("item"));
    icon->SetPopupMenu(&menu);
    emit icon->SystemTrayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(log, QStringList({"downL", "click", "upL"}));
    emit icon->SystemTrayIcon()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(log.count("click"), 1);
    emit icon->SystemTrayIcon()->activated(QSystemTrayIcon::Context);
    EXPECT_TRUE(menu.isVisible());
}

TEST_F(TrayIconTest, TipIsCutAt127GbkBytesAndEmptyWithoutHint)
{
    EXPECT_TRUE(icon->TipText().isEmpty());

    const QString latin(200, QLatin1Char('a'));
    icon->SetHint(latin);
    EXPECT_EQ(icon->TipBytes(), QByteArray(127, 'a'));
    EXPECT_EQ(icon->TipText(), latin.left(127));
    EXPECT_EQ(icon->SystemTrayIcon()->toolTip(), latin.left(127));

    // "a" then two-byte characters: byte 127 falls inside a character, whose
    // half stays in the bytes but cannot be shown
    const QString chinese = QStringLiteral("a") + QString(100, QChar(0x8BBF)); // 访
    icon->SetHint(chinese);
    EXPECT_EQ(icon->TipBytes(), ToGbk(chinese).left(127));
    EXPECT_EQ(icon->TipText(), chinese.left(1 + 63));

    const QString fits = QString(63, QChar(0x8BBF)) + QStringLiteral("x"); // exactly 127 bytes
    icon->SetHint(fits);
    EXPECT_EQ(icon->TipText(), fits);

    icon->SetShowHint(false);
    EXPECT_TRUE(icon->TipBytes().isEmpty());
    EXPECT_TRUE(icon->SystemTrayIcon()->toolTip().isEmpty());
    icon->SetShowHint(true);
    icon->SetHint(QString());
    EXPECT_TRUE(icon->SystemTrayIcon()->toolTip().isEmpty());
}

TEST_F(TrayIconTest, AddingTwiceIsRefusedAndVisibilityFollowsAddAndRemove)
{
    QPixmap image(16, 16);
    image.fill(Qt::blue);
    icon->SetIcon(QIcon(image));
    icon->SetHint(QStringLiteral("Vostrel"));
    icon->SetIconVisible(true);
    EXPECT_TRUE(icon->IconVisible());
    EXPECT_TRUE(icon->SystemTrayIcon()->isVisible());
    EXPECT_FALSE(icon->AddIcon()); // already there
    EXPECT_TRUE(icon->RemoveIcon());
    EXPECT_FALSE(icon->IconVisible());
    EXPECT_FALSE(icon->SystemTrayIcon()->isVisible());
    EXPECT_FALSE(icon->RemoveIcon());
}

TEST_F(TrayIconTest, IconsShareOneHandlerThatGoesWithTheLast)
{
    auto second = std::make_unique<TTrayIcon>(nullptr);
    EXPECT_NE(second->IconId(), icon->IconId());
    ASSERT_NE(TTrayIconHandler::Instance(), nullptr);
    EXPECT_EQ(TTrayIconHandler::Instance()->UserCount(), 2);

    // a notification reaches only the icon it names
    int secondClicks = 0;
    second->OnClick = [&] { ++secondClicks; };
    send({M::LButtonDown, M::LButtonUp});
    EXPECT_EQ(secondClicks, 0);
    EXPECT_EQ(log.count("click"), 1);

    second.reset();
    EXPECT_EQ(TTrayIconHandler::Instance()->UserCount(), 1);
    icon.reset();
    EXPECT_EQ(TTrayIconHandler::Instance(), nullptr);
}

TEST_F(TrayIconTest, IconIndexTakesImagesFromTheListAndAnimationCycles)
{
    TIconList* list = new TIconList;
    QPixmap red(16, 16), green(16, 16);
    red.fill(Qt::red);
    green.fill(Qt::green);
    list->Icons = {QIcon(red), QIcon(green)};
    icon->SetIconList(list);
    icon->SetIconIndex(5);
    EXPECT_EQ(icon->IconIndex(), 1); // clamped to the last
    EXPECT_EQ(icon->Icon().cacheKey(), list->Icons[1].cacheKey());

    QList<int> steps;
    icon->OnCycle = [&](int next) { steps << next; };
    icon->SetCycleInterval(10);
    icon->SetCycleIcons(true);
    pumpEvents(150);
    icon->SetCycleIcons(false);
    ASSERT_GE(steps.size(), 3);
    EXPECT_EQ(steps.mid(0, 3), QList<int>({1, 0, 1}));

    delete list; // a freed list is forgotten
    EXPECT_EQ(icon->IconList(), nullptr);
    EXPECT_EQ(icon->IconIndex(), 0);
}
