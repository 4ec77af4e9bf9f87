#pragma once
// TSkinPopupMenu: paints a popup menu's border and background from the
// skin's MenuBackground element; the items of owner-drawn menus are drawn
// and measured with the MenuItem element (SkinMenuOwnerDraw.h).
//
// While attached the menu gets a small proxy style: the menu panel, its
// frame and the empty area come from the background image, and the items of
// owner-drawn menus are drawn and measured by the skin. Detach gives the
// menu its own style back.

#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>

class QMenu;
class QStyle;
class TSkinData;
class TSkinMenuStyle;

class TSkinPopupMenu : public QObject {
    Q_OBJECT
public:
    // Width of the border band painted from the background's edges.
    static constexpr int kBorder = 3;

    TSkinPopupMenu(QMenu* menu, TSkinData* data);
    ~TSkinPopupMenu() override; // Detach

    void Attach();
    void Detach();
    bool Attached() const { return attached_; }
    QMenu* Menu() const { return menu_; }
    TSkinData* SkinData() const { return skinData_; }
    void SetFromMenuBar(bool on) { fromMenuBar_ = on; }
    // The MenuBackground element drawn at the menu's size (null image when
    // the skin has none).
    const QImage& Background() const { return background_; }
    // True when the skin has a MenuBackground bitmap to paint with.
    bool HasBackground() const;
    // Remakes the background at the menu's current size (when it changed).
    const QImage& UpdateBackground();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RefitMenu();

    QPointer<QMenu> menu_;
    // The menu's identity, compared without a cast (it may be mid-destruction).
    const QObject* menuObject_ = nullptr;
    TSkinData* skinData_ = nullptr;
    bool fromMenuBar_ = false;
    bool attached_ = false;
    QImage background_;
    TSkinMenuStyle* style_ = nullptr;
    QPointer<QStyle> ownStyle_;
    bool hadOwnStyle_ = false;
    bool hadOpaquePaint_ = false;
};
