#include "skin/engine/SkinPopupMenu.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinElements.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/SkinMenuOwnerDraw.h"

#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOption>

// The style a skinned popup wears: background and border from the skin,
// owner-drawn items from the MenuItem element, the rest from the base style
// (the application's).
class TSkinMenuStyle : public QProxyStyle {
public:
    explicit TSkinMenuStyle(TSkinPopupMenu* owner) : owner_(owner) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if ((element == PE_PanelMenu || element == PE_FrameMenu) && PaintBackground(painter, widget))
            return;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_MenuEmptyArea && PaintBackground(painter, widget))
            return;
        if (element == CE_MenuItem && OwnsItems(widget)) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
                DrawSkinMenuItem(*painter, *item, owner_->SkinData(), owner_->UpdateBackground());
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        const QSize plain = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuItem && OwnsItems(widget))
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option))
                return MeasureSkinMenuItem(*item, plain, owner_->SkinData());
        return plain;
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (Skinning(widget) && owner_->HasBackground()) {
            if (metric == PM_MenuPanelWidth)
                return TSkinPopupMenu::kBorder;
            if (metric == PM_MenuHMargin || metric == PM_MenuVMargin)
                return 0;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    bool Skinning(const QWidget* widget) const
    {
        const TSkinManager* manager = TSkinManager::Instance();
        return owner_->Attached() && widget == owner_->Menu() && (!manager || manager->SkinningOn());
    }
    bool OwnsItems(const QWidget* widget) const
    {
        return Skinning(widget) && IsMenuOwnerDrawn(owner_->Menu()) && CanDrawSkinMenuItem(owner_->SkinData());
    }
    bool PaintBackground(QPainter* painter, const QWidget* widget) const
    {
        if (!Skinning(widget) || !owner_->HasBackground())
            return false;
        const QImage& background = owner_->UpdateBackground();
        painter->drawImage(QPoint(0, 0), background);
        return true;
    }

    TSkinPopupMenu* owner_;
};

TSkinPopupMenu::TSkinPopupMenu(QMenu* menu, TSkinData* data) : menu_(menu), menuObject_(menu), skinData_(data) {}

TSkinPopupMenu::~TSkinPopupMenu() { Detach(); }

bool TSkinPopupMenu::HasBackground() const
{
    if (!skinData_ || !skinData_->Ready())
        return false;
    const TDataSkinObject* element = skinData_->Element(QStringLiteral("MenuBackground"));
    return element && !element->Bitmap.isNull();
}

const QImage& TSkinPopupMenu::UpdateBackground()
{
    if (!menu_ || !HasBackground()) {
        background_ = QImage();
        return background_;
    }
    if (background_.size() != menu_->size())
        background_ = RenderElement(menu_->size(), *skinData_->Element(QStringLiteral("MenuBackground")), 1, 1);
    return background_;
}

void TSkinPopupMenu::Attach()
{
    if (attached_ || !menu_)
        return;
    attached_ = true;
    menu_->installEventFilter(this);
    connect(menu_, &QObject::destroyed, this, [this] {
        // The widget is gone: nothing to give back.
        attached_ = false;
        delete style_;
        style_ = nullptr;
        background_ = QImage();
    });

    hadOwnStyle_ = menu_->testAttribute(Qt::WA_SetStyle);
    ownStyle_ = hadOwnStyle_ ? menu_->style() : nullptr;
    hadOpaquePaint_ = menu_->testAttribute(Qt::WA_OpaquePaintEvent);
    style_ = new TSkinMenuStyle(this);
    menu_->setStyle(style_);
    // With xoMenuBG the background is not erased before the menu paints.
    if (skinData_ && skinData_->HasOption(TSkinData::xoMenuBG) && HasBackground())
        menu_->setAttribute(Qt::WA_OpaquePaintEvent, true);
    RefitMenu();
    menu_->update();
}

void TSkinPopupMenu::Detach()
{
    if (!attached_)
        return;
    attached_ = false;
    if (menu_) {
        menu_->removeEventFilter(this);
        disconnect(menu_, &QObject::destroyed, this, nullptr);
        menu_->setStyle(hadOwnStyle_ ? ownStyle_.data() : nullptr);
        menu_->setAttribute(Qt::WA_OpaquePaintEvent, hadOpaquePaint_);
        RefitMenu();
        menu_->update();
    }
    delete style_;
    style_ = nullptr;
    background_ = QImage();
}

// The items were measured before the menu wore this style: an open menu is
// resized to its new size and kept on its screen.
void TSkinPopupMenu::RefitMenu()
{
    if (!menu_ || !menu_->isVisible())
        return;
    QRect geometry(menu_->pos(), menu_->sizeHint());
    if (const QScreen* screen = menu_->screen()) {
        const QRect available = screen->availableGeometry();
        if (geometry.right() > available.right())
            geometry.moveRight(available.right());
        if (geometry.bottom() > available.bottom())
            geometry.moveBottom(available.bottom());
        geometry.moveTopLeft(
            QPoint(std::max(geometry.left(), available.left()), std::max(geometry.top(), available.top())));
    }
    menu_->setGeometry(geometry);
}

bool TSkinPopupMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != menuObject_)
        return false;
    if (event->type() == SkinEvents::kQuery) {
        static_cast<SkinEvents::TSkinQueryEvent*>(event)->Answer = 1;
        return true;
    }
    return false;
}
