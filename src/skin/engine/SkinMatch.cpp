// Matching a skinned window's controls to skinners: the host's own choice
// first, then the Skin3rd class-name lines, then the built-in rules.
#include "skin/SkinData.h"
#include "skin/engine/SkinBox.h"
#include "skin/engine/SkinButton.h"
#include "skin/engine/SkinComBox.h"
#include "skin/engine/SkinEdit.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinGroupBox.h"
#include "skin/engine/SkinScrollbar.h"
#include "skin/engine/SkinStatusBar.h"
#include "skin/engine/SkinTab.h"
#include "skin/engine/SkinTabSheet.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

namespace {

struct Match {
    TSkinControl* skinner = nullptr;
    bool ownColour = false;
    bool walkChildren = false;
};

template <class S>
Match Make(QWidget* control, bool ownColour = false, bool walk = false)
{
    return {new S(control), ownColour, walk};
}

bool IsTabPage(const QWidget* control)
{
    const QWidget* stack = control->parentWidget();
    return qobject_cast<const QStackedWidget*>(stack) && qobject_cast<const QTabWidget*>(stack->parentWidget());
}

bool HasTabsElement(const TSkinData& data)
{
    return data.HasControl(TSkinData::xcTab) && data.Element(QStringLiteral("Tabs"));
}

class TControlMatcher {
public:
    TControlMatcher(TSkinForm& form, TSkinData& data) : form_(form), data_(data) {}

    void WalkChildren(QWidget* container)
    {
        if (auto* tabs = qobject_cast<QTabWidget*>(container)) {
            for (int i = 0; i < tabs->count(); ++i)
                Consider(tabs->widget(i));
            return;
        }
        const QObjectList children = container->children();
        for (QObject* child : children)
            if (child->isWidgetType())
                Consider(static_cast<QWidget*>(child));
    }

private:
    void Consider(QWidget* control)
    {
        if (!control || control->isWindow() || !control->parentWidget())
            return;
        // A control tagged with DisableTag stays plain, and so does what it holds.
        if (SkinEvents::TagOf(control) == data_.DisableTag())
            return;
        const QString lower = QString::fromLatin1(control->metaObject()->className()).toLower();
        if (lower.contains(QLatin1String("radiogroup")) || lower.contains(QLatin1String("checkgroup")))
            for (QObject* child : control->children())
                if (child->isWidgetType())
                    child->setProperty("Tag", data_.DisableTag());
        const bool handled = form_.SkinnerOf(control) || SkinEvents::AnswersSkinned(control);
        Match match;
        if (!handled) {
            match = Choose(control, lower);
            if (match.skinner) {
                match.skinner->setParent(&form_);
                match.skinner->Attach(&form_, &data_, match.ownColour);
            }
        } else {
            match.walkChildren = IsContainer(control);
        }
        if (match.walkChildren)
            WalkChildren(control);
    }

    static bool IsContainer(const QWidget* control)
    {
        const QMetaObject* meta = control->metaObject();
        return meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject
               || qobject_cast<const QGroupBox*>(control) || qobject_cast<const QTabWidget*>(control)
               || qobject_cast<const QDialogButtonBox*>(control);
    }

    Match Choose(QWidget* control, const QString& lower)
    {
        if (data_.OnSkinControl) {
            QObject* chosen = nullptr;
            data_.OnSkinControl(&data_, &data_, form_.Window(), control, lower.toUpper(), chosen);
            if (auto* skinner = qobject_cast<TSkinControl*>(chosen))
                return {skinner, skinner->property("ownColour").toBool(), false};
        }
        bool found = false;
        Match byLine = FromSkin3rd(control, lower, found);
        if (found)
            return byLine;
        return BuiltIn(control);
    }

    // The first Skin3rd line "class=kind" for this class decides.
    Match FromSkin3rd(QWidget* control, const QString& lower, bool& found)
    {
        const QString prefix = lower + QLatin1Char('=');
        for (const QString& line : data_.Skin3rd()) {
            if (!line.toLower().startsWith(prefix))
                continue;
            found = true;
            const QString kind = line.mid(prefix.size(), 50).trimmed().toLower();
            return ByKind(control, kind);
        }
        return {};
    }

    Match ByKind(QWidget* control, const QString& kind)
    {
        auto has = [this](TSkinData::TSkinControlType t) { return data_.HasControl(t); };
        if (kind == QLatin1String("nil"))
            return {};
        if (kind == QLatin1String("combobox") || kind == QLatin1String("comboboxex"))
            return has(TSkinData::xcCombo) ? Make<TSkinComBox>(control) : Match{};
        if (kind == QLatin1String("edit"))
            return has(TSkinData::xcEdit) ? Make<TSkinEdit>(control) : Match{};
        if (kind == QLatin1String("panel")) {
            control->setProperty("Transparent", true);
            return has(TSkinData::xcPanel) ? Make<TSkinBox>(control, true, true) : Match{nullptr, false, true};
        }
        if (kind == QLatin1String("button"))
            return has(TSkinData::xcButton) ? Make<TSkinButton>(control) : Match{};
        if (kind == QLatin1String("tab"))
            return HasTabsElement(data_) ? Make<TSkinTab>(control) : Match{};
        if (kind == QLatin1String("scrollbar"))
            return has(TSkinData::xcScrollbar) ? Make<TSkinScrollbar>(control, false, true)
                                               : Match{nullptr, false, true};
        if (kind == QLatin1String("singlescrollbar"))
            return has(TSkinData::xcScrollbar) ? Make<TSkinScrollbar>(control) : Match{};
        if (kind == QLatin1String("container"))
            return {nullptr, false, true};
        if (kind == QLatin1String("groupbox"))
            return has(TSkinData::xcGroupBox) ? Make<TSkinGroupBox>(control) : Match{};
        // Kinds whose controls this program does not have (check and radio
        // items, track bars, media players, bitmap and speed buttons, date
        // pickers, progress bars) count as handled without a skinner.
        return {};
    }

    Match BuiltIn(QWidget* control)
    {
        auto has = [this](TSkinData::TSkinControlType t) { return data_.HasControl(t); };
        if (qobject_cast<QTabWidget*>(control))
            return HasTabsElement(data_) ? Make<TSkinTab>(control, false, true) : Match{nullptr, false, true};
        if (qobject_cast<QTabBar*>(control) && !qobject_cast<QTabWidget*>(control->parentWidget()))
            return HasTabsElement(data_) ? Make<TSkinTab>(control) : Match{};
        if (IsTabPage(control))
            return HasTabsElement(data_) ? Make<TSkinTabSheet>(control, true, true) : Match{nullptr, false, true};
        if (qobject_cast<QGroupBox*>(control))
            return has(TSkinData::xcPanel) ? Make<TSkinGroupBox>(control, false, true) : Match{nullptr, false, true};
        if (qobject_cast<QStatusBar*>(control))
            return has(TSkinData::xcStatusBar) ? Make<TSkinStatusBar>(control) : Match{};
        if (qobject_cast<QComboBox*>(control))
            return has(TSkinData::xcCombo) ? Make<TSkinComBox>(control) : Match{};
        const QMetaObject* meta = control->metaObject();
        if (meta == &QFrame::staticMetaObject || meta == &QWidget::staticMetaObject)
            return has(TSkinData::xcPanel) ? Make<TSkinBox>(control, true, true) : Match{nullptr, false, true};
        if (qobject_cast<QPlainTextEdit*>(control) || qobject_cast<QTextEdit*>(control)
            || qobject_cast<QAbstractItemView*>(control))
            return has(TSkinData::xcScrollbar) ? Make<TSkinScrollbar>(control) : Match{};
        if (qobject_cast<QPushButton*>(control))
            return has(TSkinData::xcButton) ? Make<TSkinButton>(control) : Match{};
        if (qobject_cast<QLineEdit*>(control))
            return has(TSkinData::xcEdit) ? Make<TSkinEdit>(control) : Match{};
        // A message box's button row is only walked.
        if (qobject_cast<QDialogButtonBox*>(control))
            return {nullptr, false, true};
        return {};
    }

    TSkinForm& form_;
    TSkinData& data_;
};

} // namespace

void TSkinForm::SkinControls()
{
    if (!window_ || !skinData_)
        return;
    TControlMatcher(*this, *skinData_).WalkChildren(window_);
}
