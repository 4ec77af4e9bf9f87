#include "FormFixture.h"
#include "UrlCatcher.h"
#include "app/SiteAddresses.h"
#include "app/Unit1.h"
#include "login/Unit_Login.h"
#include "shell/HandlerWiring.h"

#include <QCoreApplication>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

class LinksTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        makeRegister();
        createForms();
    }
    static void click(QLabel* label, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPointF at(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, label->mapToGlobal(at), button, button, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, label->mapToGlobal(at), button, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(label, &press);
        QCoreApplication::sendEvent(label, &release);
    }
    static QString link(const char* site, const QString& version = QStringLiteral("1.01.2010.0609"))
    {
        return QLatin1String(site) + QStringLiteral("/?qq=Vostrel") + version;
    }
    UrlCatcher browser;
};

} // namespace

TEST_F(LinksTest, EveryLinkOpensItsSiteWithTheProductWordAndVersion)
{
    using namespace SiteAddresses;
    form1->Aboutme->trigger();
    form1->ButtonWEB->click();
    click(form1->Label12);
    click(form1->Label13);
    click(form1->Label30);
    click(form1->Label31);
    click(form1->Label32);
    EXPECT_EQ(browser.opened, QStringList({link(UpdateSiteAddress), link(UpdateSiteAddress), link(PartnerSite1Address),
                                           link(PartnerSite1Address), link(PartnerSite1Address),
                                           link(PartnerSite2Address), link(PartnerSite3Address)}));

    // the version is read at the click; a right click or a contact line opens nothing
    browser.opened.clear();
    form1->EditVer->setText(QStringLiteral("2.0"));
    click(form1->Label30, Qt::RightButton);
    click(form1->Label14);
    click(form1->Label32);
    EXPECT_EQ(browser.opened, QStringList({link(PartnerSite3Address, QStringLiteral("2.0"))}));

    for (QLabel* l : {form1->Label12, form1->Label13, form1->Label30, form1->Label31, form1->Label32})
        EXPECT_EQ(l->cursor().shape(), Qt::PointingHandCursor) << l->objectName().toStdString();
}

TEST_F(LinksTest, LookUpsSendTheTypedTextAsItIsAndNothingForAnEmptyField)
{
    const QString site = QLatin1String(SiteAddresses::PartnerSite2Address);
    form1->Button8->click();
    form1->Button10->click();
    EXPECT_TRUE(browser.opened.isEmpty());

    form1->Edit_IDNumber->setText(QStringLiteral(" 11010 5X19"));
    form1->Edit_ShouJi->setText(QStringLiteral("138 abc "));
    form1->Button8->click();
    form1->Button10->click();
    EXPECT_EQ(browser.opened, QStringList({site + QStringLiteral("/Data/ShenFenZheng/index.asp?num= 11010 5X19"),
                                           site + QStringLiteral("/Data/ShouJiHao/Index.asp?KeyWords=138 abc ")}));
}
