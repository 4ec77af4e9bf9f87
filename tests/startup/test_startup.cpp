// Start-up of the main window: caption, clock, missing register, class.dat,
// desktop entry, grid wheel.
#include "FormFixture.h"
#include "app/Unit1.h"
#include "db/CategoryFile.h"
#include "db/RegisterQuery.h"
#include "login/Unit_Login.h"
#include "skin/SkinData.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>

namespace {

class StartupTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        // The desktop entry goes to this test's own home folder.
        savedHome_ = qgetenv("HOME");
        qputenv("HOME", dir.file(QStringLiteral("home")).toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.file(QStringLiteral("home/.config")).toUtf8());
        QDir().mkpath(dir.file(QStringLiteral("home/Desktop")));
    }
    void TearDown() override
    {
        FormFixture::TearDown();
        qputenv("HOME", savedHome_);
        qunsetenv("XDG_CONFIG_HOME");
    }
    QString desktopEntry() const { return dir.file(QStringLiteral("home/Desktop/Vostrel.desktop")); }

    static QStringList itemsOf(const QComboBox* box)
    {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }

private:
    QByteArray savedHome_;
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(StartupTest, WithARegisterTheWindowStaysHiddenAndTheLoginCheckIsArmed)
{
    makeRegister();
    createForms();
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Vostrel1.01.2010.0609"));
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(form1->Timer_CheckLogin->isActive());
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(form1->size(), QSize(716, 687));
    EXPECT_EQ(form1->PageControl1->count(), 3);
    EXPECT_EQ(form1->PageControl1->currentIndex(), 0);
    EXPECT_EQ(form1->StatusPanel(0)->width(), 300);
    EXPECT_EQ(form1->StatusPanel(1)->width(), 50);
    EXPECT_EQ(form1->StatusPanel(2)->width(), 150);
    EXPECT_TRUE(form1->SkinData1->Active()); // the shipped skin decoded while the window was built

    // The desktop entry starts the executable in its own folder.
    const QString entry = QString::fromUtf8(bytesOf(desktopEntry()));
    EXPECT_TRUE(entry.contains(QStringLiteral("Type=Application\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("Name=Vostrel\n")));
    EXPECT_TRUE(
        entry.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath() + QStringLiteral("\"\n")));
    EXPECT_TRUE(
        entry.contains(QStringLiteral("Path=") + QCoreApplication::applicationDirPath() + QStringLiteral("/\n")));
    EXPECT_TRUE(QFile(desktopEntry()).permissions() & QFile::ExeOwner);
}

TEST_F(StartupTest, TheClockPanelTicksEverySecond)
{
    makeRegister();
    createForms();
    pump(1150);
    const QString first = form1->StatusPanel(2)->text();
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(first, form1->ClockText());
    // The next second's text, allowing a loaded machine a late timer.
    for (int waited = 0; waited < 3000 && form1->StatusPanel(2)->text() == first; waited += 50)
        pump(50);
    EXPECT_NE(form1->StatusPanel(2)->text(), first);
}

TEST_F(StartupTest, AMissingRegisterShowsItsMessageAndEndsASecondLater)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("copied while it ran"));
    createForms();
    ASSERT_EQ(boxTexts(), QStringList{QStringLiteral("没有发现数据库\"_.udb\"文件.")});
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::Plain);
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_FALSE(QFile::exists(desktopEntry()));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("class.dat"))));
    pump(500);
    EXPECT_FALSE(form1->HasClosed());
    pump(800);
    EXPECT_TRUE(form1->HasClosed());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST_F(StartupTest, AnUnusableGateFileIsReportedAndTheDeskGoesOnAlone)
{
    makeRegister();
    QFile gate(dir.file(QStringLiteral("vostrel-gate.pem")));
    ASSERT_TRUE(gate.open(QIODevice::WriteOnly));
    gate.write("Gate: front\nSite-Host: db\nSite-Port: 5432\nSite-Database: site\n-----BEGIN CERTIFICATE-----\n");
    gate.close();
    gate.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    createForms();
    ASSERT_EQ(boxTexts().size(), 1);
    EXPECT_TRUE(boxTexts()[0].startsWith(QStringLiteral("门岗文件\"vostrel-gate.pem\"已损坏,本机单独登记")))
        << boxTexts()[0].toStdString();
    EXPECT_TRUE(form1->Timer_CheckLogin->isActive());
}

TEST_F(StartupTest, AMissingClassDatIsWrittenWithTheSixDefaults)
{
    makeRegister();
    createForms();
    const QByteArray expected = QByteArray("\xcd\xf8\xd5\xbe\xd5\xca\xba\xc5\r\n")
                                + "\xc2\xdb\xcc\xb3\xd5\xca\xba\xc5\r\n" + "\xd3\xca\xcf\xe4\xd5\xca\xba\xc5\r\n"
                                + "QQ\xd5\xca\xba\xc5\r\n" + "\xd2\xf8\xd0\xd0\xd5\xca\xba\xc5\r\n"
                                + "\xd3\xce\xcf\xb7\xd5\xca\xba\xc5\r\n";
    EXPECT_EQ(bytesOf(dir.file(QStringLiteral("class.dat"))), expected);
    EXPECT_EQ(itemsOf(form1->Edit_FenLei), DefaultCategories());
    EXPECT_EQ(itemsOf(form1->ComboBoxClass), DefaultCategories());
    EXPECT_TRUE(form1->Edit_FenLei->currentText().isEmpty());
}

TEST_F(StartupTest, AnExistingClassDatIsShownAsItStands)
{
    makeRegister();
    WriteCategoryFile(dir.file(QStringLiteral("class.dat")),
                      {QStringLiteral("访客"), QStringLiteral("快递"), QStringLiteral("维修")});
    createForms();
    const QStringList three = {QStringLiteral("访客"), QStringLiteral("快递"), QStringLiteral("维修")};
    EXPECT_EQ(itemsOf(form1->Edit_FenLei), three);
    EXPECT_EQ(itemsOf(form1->ComboBoxClass), three);
    EXPECT_EQ(itemsOf(form1->ComboBoxSeachClass).size(), 7); // never touched
}

TEST_F(StartupTest, AnUnreadableClassDatTakesTheStartupErrorPath)
{
    makeRegister();
    QDir().mkpath(dir.file(QStringLiteral("class.dat"))); // a folder in its place
    createForms();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("程序发生未知错误,请联系客服 QQ480215967 ")});
    EXPECT_TRUE(form1->Timer_CheckLogin->isActive()); // armed before the failing step
    EXPECT_FALSE(form1->HasClosed());                 // the program goes on
    EXPECT_TRUE(QFile::exists(desktopEntry()));
}

TEST_F(StartupTest, TheStartupErrorBoxMayStayOpenWhileTheLoginCheckWaitsForItsWindow)
{
    makeRegister();
    QDir().mkpath(dir.file(QStringLiteral("class.dat")));
    // The box stays open three seconds, dispatching events as a modal box does;
    // the armed login check ticks meanwhile, before the login window exists.
    MessageBoxes::SetScript([this](const MessageBoxes::Request& r) {
        boxes << r;
        pump(3000);
        return false;
    });
    createForms();
    ASSERT_EQ(boxTexts(), QStringList{QStringLiteral("程序发生未知错误,请联系客服 QQ480215967 ")});
    EXPECT_FALSE(form1->HasClosed());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(form1->Timer_CheckLogin->isActive());

    // After OK the start goes on: a second later the login window asks.
    pump(1300);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(form1->HasClosed());
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
    EXPECT_EQ(AdminPassword, QString::fromLatin1(kAdminPassword));
}

TEST_F(StartupTest, TheTrayIconAndTheLoginCheckLeaveALoginWindowThatIsGoneAlone)
{
    makeRegister();
    createForms();
    form2.reset();
    EXPECT_EQ(form1->LoginForm, nullptr);
    form1->TrayIcon1Click();
    form1->Button_CheckLogin->click();
    pump(1300); // the armed check ticks
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(form1->HasClosed());
}

TEST_F(StartupTest, OneWheelEventMovesExactlyOneRecord)
{
    makeRegister();
    insertRows({{QStringLiteral("QQ帐号"), QStringLiteral("a")},
                {QStringLiteral("QQ帐号"), QStringLiteral("b")},
                {QStringLiteral("QQ帐号"), QStringLiteral("c")}});
    createForms();
    form1->ADOQuery1->SQL.Clear();
    form1->ADOQuery1->SQL.Add(SqlSelect{"Select ", kListedColumns, " from ", "data"});
    form1->ADOQuery1->Open();
    QWidget* viewport = form1->DBGrid1->viewport();
    auto wheel = [&](int deltaY) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, deltaY), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    };
    wheel(-120);
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 2);
    wheel(-1200); // a large distance is still one record
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 3);
    wheel(-120); // at the last record nothing moves
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 3);
    wheel(120);
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 2);
    wheel(0); // zero counts as towards the top
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 1);
    EXPECT_TRUE(boxes.isEmpty());
}
