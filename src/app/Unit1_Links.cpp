// Web links and the two online look-ups: each hands an address to the
// default browser and returns at once.
#include "app/SiteAddresses.h"
#include "app/Unit1.h"
#include "shell/HandlerWiring.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace {

// A label that runs its handler on a left click: press and release on it.
class LabelClick : public QObject {
public:
    LabelClick(QLabel* label, std::function<void()> handler)
        : QObject(label), label_(label), handler_(std::move(handler))
    {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != label_)
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click =
                pressed_ && mouse->button() == Qt::LeftButton && label_->rect().contains(mouse->position().toPoint());
            pressed_ = false;
            if (click)
                RunGuarded(handler_);
        }
        return false;
    }

private:
    QLabel* label_;
    std::function<void()> handler_;
    bool pressed_ = false;
};

// A site's link address: the site, the query key and the product word with
// the version text directly after it.
QString linkAddress(const char* site, const QString& version)
{
    return QLatin1String(site) + QStringLiteral("/?qq=") + QStringLiteral("Vostrel") + version;
}

} // namespace

void TForm1::connectLinks()
{
    BindClick(Aboutme, [this] { AboutmeClick(); });
    BindClick(ButtonWEB, [this] { ButtonWEBClick(); });
    BindClick(Button8, [this] { Button8Click(); });
    BindClick(Button10, [this] { Button10Click(); });
    new LabelClick(Label12, [this] { Label12Click(); });
    new LabelClick(Label13, [this] { Label12Click(); });
    new LabelClick(Label30, [this] { Label30Click(); });
    new LabelClick(Label31, [this] { Label31Click(); });
    new LabelClick(Label32, [this] { Label32Click(); });
}

void TForm1::OpenAddress(const QString& address)
{
    // Whether a browser takes it is not the program's concern.
    QDesktopServices::openUrl(QUrl(address));
}

void TForm1::AboutmeClick() { OpenAddress(linkAddress(SiteAddresses::UpdateSiteAddress, EditVer->text())); }

void TForm1::ButtonWEBClick() { PerformClick(Aboutme); }

void TForm1::Label12Click() { OpenAddress(linkAddress(SiteAddresses::PartnerSite1Address, EditVer->text())); }

void TForm1::Label30Click() { OpenAddress(linkAddress(SiteAddresses::PartnerSite1Address, EditVer->text())); }

void TForm1::Label31Click() { OpenAddress(linkAddress(SiteAddresses::PartnerSite2Address, EditVer->text())); }

void TForm1::Label32Click() { OpenAddress(linkAddress(SiteAddresses::PartnerSite3Address, EditVer->text())); }

void TForm1::Button8Click()
{
    const QString number = Edit_IDNumber->text();
    if (number.isEmpty())
        return;
    OpenAddress(QLatin1String(SiteAddresses::PartnerSite2Address) + QStringLiteral("/Data/ShenFenZheng/index.asp?num=")
                + number);
}

void TForm1::Button10Click()
{
    const QString number = Edit_ShouJi->text();
    if (number.isEmpty())
        return;
    OpenAddress(QLatin1String(SiteAddresses::PartnerSite2Address)
                + QStringLiteral("/Data/ShouJiHao/Index.asp?KeyWords=") + number);
}
