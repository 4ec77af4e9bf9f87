#pragma once
// TSkinPopupMenu: paints a popup menu's border and background from the
// skin's MenuBackground element; the items of owner-drawn menus are drawn
// with the MenuItem element (SkinMenuItems.h).

#include <QImage>
#include <QObject>
#include <QMenu>
#include <QPointer>

class QMenu;
class TSkinData;

class TSkinPopupMenu : public QObject {
    Q_OBJECT
public:
    TSkinPopupMenu(QMenu* menu, TSkinData* data);
    ~TSkinPopupMenu() override; // Detach

    void Attach();
    void Detach();
    QMenu* Menu() const { return menu_; }
    TSkinData* SkinData() const { return skinData_; }
    bool FromMenuBar() const { return fromMenuBar_; }
    void SetFromMenuBar(bool on) { fromMenuBar_ = on; }
    // The MenuBackground element drawn at the menu's size (null image when
    // the skin has none).
    const QImage& Background() const { return background_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QMenu> menu_;
    TSkinData* skinData_ = nullptr;
    bool fromMenuBar_ = false;
    bool attached_ = false;
    QImage background_;
};
