#include "skin/engine/SkinManager.h"

#include "skin/SkinData.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinPopupMenu.h"

#include <QApplication>
#include <QMenu>
#include <QWidget>

namespace {

TSkinManager* g_manager = nullptr;

QString LowerClassName(const QObject* object)
{
    return QString::fromLatin1(object->metaObject()->className()).toLower();
}

// Qt's message box plays the standard dialog and the framework's message form.
bool IsDialogClass(const QString& lowerClass) { return lowerClass == QLatin1String("qmessagebox"); }

// Popups, tool tips and the tray icon's own window are not forms.
bool IsFormWindow(const QWidget* window)
{
    if (!window->isWindow() || qobject_cast<const QMenu*>(window))
        return false;
    switch (window->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
    case Qt::SubWindow:
    case Qt::Drawer: return false;
    default: return true;
    }
}

} // namespace

TSkinManager* TSkinManager::Instance() { return g_manager; }

TSkinManager* TSkinManager::Ensure()
{
    if (!g_manager)
        g_manager = new TSkinManager;
    return g_manager;
}

void TSkinManager::DestroyInstance()
{
    delete g_manager;
    g_manager = nullptr;
}

TSkinManager::TSkinManager()
{
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &TSkinManager::RunPendingAction);
}

TSkinManager::~TSkinManager()
{
    startCount_ = kDestroyingStartCount;
    timer_.stop();
    const QList<TSkinForm*> forms = forms_;
    forms_.clear();
    for (TSkinForm* form : forms)
        delete form;
    const QList<TSkinPopupMenu*> popups = popups_;
    popups_.clear();
    qDeleteAll(popups);
    if (hooked_ && qApp)
        qApp->removeEventFilter(this);
}

void TSkinManager::Register(TSkinData* data)
{
    if (!data || skinDatas_.contains(data))
        return;
    skinDatas_.append(data);
    if (!default_ && data->SkinFormtype() == TSkinData::sfMainform)
        default_ = data;
    connect(data, &TSkinData::ActiveChanged, this, [this, data](bool active) {
        const auto type = data->SkinFormtype();
        if (type != TSkinData::sfMainform && type != TSkinData::sfOnlyThisForm)
            return;
        current_ = data;
        if (active && type == TSkinData::sfMainform)
            startCount_ = 1;
        RequestAction(active ? Action::SwitchOn : Action::SwitchOff, 250);
    });
    connect(data, &TSkinData::SkinFileLoaded, this, [this, data] {
        current_ = data;
        for (TSkinForm* form : std::as_const(forms_))
            if (form->SkinData() == data)
                form->Reapply();
        if (startCount_ == 1)
            RequestAction(Action::Reapply, 250);
    });
}

void TSkinManager::Unregister(TSkinData* data)
{
    skinDatas_.removeAll(data);
    if (default_ == data) {
        default_ = nullptr;
        for (TSkinData* d : std::as_const(skinDatas_))
            if (d->SkinFormtype() == TSkinData::sfMainform) {
                default_ = d;
                break;
            }
    }
    if (current_ == data)
        current_ = nullptr;
    // Frames drawn from a skin that is gone are released.
    const QList<TSkinForm*> forms = forms_;
    for (TSkinForm* form : forms)
        if (form->SkinData() == data)
            RemoveSkinForm(form);
    const QList<TSkinPopupMenu*> popups = popups_;
    for (TSkinPopupMenu* popup : popups)
        if (popup->SkinData() == data) {
            popups_.removeAll(popup);
            delete popup;
        }
}

void TSkinManager::InstallHook()
{
    if (hooked_ || !qApp)
        return;
    qApp->installEventFilter(this);
    hooked_ = true;
}

bool TSkinManager::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::WindowActivate && type != QEvent::Hide)
        return false;
    if (!watched->isWidgetType() || startCount_ == kDestroyingStartCount)
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (!widget->isWindow())
        return false;
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        if (type == QEvent::Show)
            SkinPopupMenu(menu);
        else if (type == QEvent::Hide)
            ReleasePopupMenu(menu);
        return false;
    }
    if (type != QEvent::Hide)
        SkinWindow(widget);
    return false;
}

void TSkinManager::DropReleasedForms()
{
    const QList<TSkinForm*> forms = forms_;
    for (TSkinForm* form : forms)
        if (!form->Window() || form->State() == TSkinForm::SetupState::Released) {
            forms_.removeAll(form);
            delete form;
        }
}

TSkinForm* TSkinManager::FindSkinForm(const QWidget* window) const
{
    for (TSkinForm* form : forms_)
        if (form->Window() == window && form->State() != TSkinForm::SetupState::Released)
            return form;
    return nullptr;
}

bool TSkinManager::MayBeSkinned(QWidget* window, const QString& className) const
{
    const QString lower = className.toLower();
    TSkinData* data = default_ ? default_ : (skinDatas_.isEmpty() ? nullptr : skinDatas_.first());
    bool first = true;
    if (lower.contains(QLatin1String("preview")) && data && !data->HasOption(TSkinData::xoPreview))
        first = false;
    Q_UNUSED(window);
    return data ? data->MayBeSkinned(className, first) : first;
}

TSkinData* TSkinManager::ChooseSkinData(QWidget* window, const QString& lowerClass) const
{
    for (TSkinData* data : skinDatas_)
        if (data->SkinFormtype() == TSkinData::sfOnlyThisForm && data->parent() == window)
            return data;
    if (IsDialogClass(lowerClass))
        for (TSkinData* data : skinDatas_)
            if (data->SkinFormtype() == TSkinData::sfDialog)
                return data;
    for (TSkinData* data : skinDatas_)
        if (data->SkinFormtype() == TSkinData::sfMainform)
            return data;
    return skinDatas_.isEmpty() ? nullptr : skinDatas_.first();
}

bool TSkinManager::SkinWindow(QWidget* window)
{
    if (!switchOn_ || !window)
        return false;
    DropReleasedForms();
    if (FindSkinForm(window) || SkinEvents::AnswersSkinned(window))
        return false;
    if (!applyToAll_ && !window->isWindow())
        return false;
    if (!IsFormWindow(window))
        return false;
    const QString className = QString::fromLatin1(window->metaObject()->className());
    const QString lower = className.toLower();
    if (window->size().isEmpty())
        return false;
    // Tag 99 exempts a form whatever DisableTag holds.
    if (SkinEvents::TagOf(window) == 99)
        return false;
    if (lower.contains(QLatin1String("systemtrayicon")) || lower == QLatin1String("qapplication"))
        return false;
    if (!MayBeSkinned(window, className))
        return false;
    TSkinData* data = ChooseSkinData(window, lower);
    if (!data || !data->Ready())
        return false;

    const auto handle = reinterpret_cast<quintptr>(window);
    if (data->OnBeforeSkinForm)
        data->OnBeforeSkinForm(data, handle, className);
    auto* form = new TSkinForm(window, data, this);
    forms_.append(form);
    QCoreApplication::postEvent(window, new QEvent(SkinEvents::kFinishSetup));
    return true;
}

void TSkinManager::RemoveSkinForm(TSkinForm* form)
{
    if (!forms_.removeAll(form))
        return;
    form->Release();
    delete form;
}

void TSkinManager::RequestAction(Action action, int delayMs)
{
    pendingAction_ = action;
    timer_.setInterval(delayMs);
    if (startCount_ != 0) {
        timer_.start();
        return;
    }
    if (action == Action::SwitchOn)
        switchOn_ = true;
    else if (action == Action::SwitchOff)
        switchOn_ = false;
}

void TSkinManager::RunPendingAction()
{
    timer_.stop();
    TSkinData* data = current_;
    if (!data)
        return;
    const Action action = pendingAction_;
    pendingAction_ = Action::None;
    if (data->SkinFormtype() == TSkinData::sfOnlyThisForm) {
        QWidget* owner = qobject_cast<QWidget*>(data->parent());
        owner = owner ? owner->window() : nullptr;
        switch (action) {
        case Action::SwitchOn:
            switchOn_ = true;
            if (owner && owner->isVisible())
                SkinWindow(owner);
            break;
        case Action::SwitchOff:
            switchOn_ = false;
            if (TSkinForm* form = FindSkinForm(owner))
                RemoveSkinForm(form);
            break;
        case Action::Reapply:
            if (TSkinForm* form = FindSkinForm(owner))
                form->Reapply();
            break;
        case Action::DropReleased: DropReleasedForms(); break;
        default: break;
        }
    } else {
        switch (action) {
        case Action::SwitchOn: SwitchOn(); break;
        case Action::SwitchOff: SwitchOff(); break;
        case Action::Reapply: Reapply(); break;
        case Action::DropReleased: DropReleasedForms(); break;
        case Action::ReskinWindow: ReskinWindow(actionWindow_); return;
        default: break;
        }
    }
    data->NotifySkinChanged();
    current_ = nullptr;
}

void TSkinManager::SwitchOn()
{
    switchOn_ = true;
    applyToAll_ = true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if ((*it)->isVisible() && (*it)->isWindow())
            SkinWindow(*it);
    applyToAll_ = false;
}

void TSkinManager::SwitchOff()
{
    switchOn_ = false;
    const QList<TSkinForm*> forms = forms_;
    for (TSkinForm* form : forms)
        RemoveSkinForm(form);
}

void TSkinManager::Reapply()
{
    for (TSkinForm* form : std::as_const(forms_))
        if (form->SkinData() == current_)
            form->Reapply();
    for (TSkinForm* form : std::as_const(forms_))
        if (form->SkinData() == current_ && form->Window())
            form->Window()->update();
}

void TSkinManager::ReskinWindow(QWidget* window)
{
    if (!window)
        return;
    if (TSkinForm* form = FindSkinForm(window))
        RemoveSkinForm(form);
    SkinWindow(window);
}

TSkinPopupMenu* TSkinManager::FindPopupMenu(const QMenu* menu) const
{
    for (TSkinPopupMenu* popup : popups_)
        if (popup->Menu() == menu)
            return popup;
    return nullptr;
}

void TSkinManager::SkinPopupMenu(QMenu* menu)
{
    if (!switchOn_ || !menu || FindPopupMenu(menu) || SkinEvents::AnswersSkinned(menu))
        return;
    TSkinData* data = ChooseSkinData(menu, LowerClassName(menu));
    if (!data || !data->Ready())
        return;
    // A menu tagged with DisableTag keeps the system's look.
    if (SkinEvents::TagOf(menu) == data->DisableTag())
        return;
    bool wanted = false;
    switch (popupKind_) {
    case PopupKind::MenuBar:
        wanted = data->HasControl(TSkinData::xcMainMenu) || data->HasControl(TSkinData::xcMenuItem);
        break;
    case PopupKind::SystemMenu: wanted = data->HasControl(TSkinData::xcSystemMenu); break;
    default: wanted = data->HasControl(TSkinData::xcPopupMenu); break;
    }
    if (!wanted)
        return;
    auto* popup = new TSkinPopupMenu(menu, data);
    popup->SetFromMenuBar(menuBarPopups_);
    popups_.append(popup);
    popup->Attach();
}

void TSkinManager::ReleasePopupMenu(QMenu* menu)
{
    if (TSkinPopupMenu* popup = FindPopupMenu(menu)) {
        popups_.removeAll(popup);
        delete popup;
    }
    if (popups_.isEmpty()) {
        menuBarPopups_ = false;
        popupKind_ = PopupKind::PopupMenu;
    }
}

void InstallSkinManager()
{
    TSkinData::SetDestroyedHook([](TSkinData* data) {
        if (TSkinManager* manager = TSkinManager::Instance())
            manager->Unregister(data);
    });
    TSkinData::SetLoadedHook([](TSkinData* data) {
        TSkinManager* manager = TSkinManager::Ensure();
        manager->Register(data);
        if (data->SkinFormtype() == TSkinData::sfMainform) {
            manager->InstallHook();
            if (data->Active() && data->Ready()) {
                // The skin is started: a later switch-off removes the frames.
                manager->SetCurrent(data);
                manager->SetStartCount(1);
                manager->RequestAction(TSkinManager::Action::SwitchOn, 250);
            }
        } else {
            manager->SetSkinningOn(true);
            manager->SetStartCount(manager->StartCount() + 1);
            auto* owner = qobject_cast<QWidget*>(data->parent());
            if (owner && data->Active())
                manager->SkinWindow(owner->window());
        }
    });
}
