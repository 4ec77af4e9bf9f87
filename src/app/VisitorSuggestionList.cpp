#include "app/VisitorSuggestionList.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTreeWidget>

namespace {

constexpr int kColumns = 4;
constexpr int kColumnGap = 16;

} // namespace

TVisitorSuggestionList::TVisitorSuggestionList(QLineEdit* edit) : QObject(edit), edit_(edit)
{
    // A window of its own that is never activated, so the edit keeps the focus
    // and no click elsewhere is swallowed to close it.
    list_ = new QTreeWidget(edit->window());
    list_->setObjectName(edit->objectName() + QStringLiteral("_Suggestions"));
    list_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    list_->setAttribute(Qt::WA_ShowWithoutActivating);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setColumnCount(kColumns);
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setFrameShape(QFrame::Box);
    list_->setMouseTracking(true);
    list_->setFont(edit->font());
    list_->hide();

    connect(list_, &QTreeWidget::itemEntered, list_, [this](QTreeWidgetItem* item) { list_->setCurrentItem(item); });
    connect(list_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { pick(list_->indexOfTopLevelItem(item)); });
    edit_->installEventFilter(this);
    edit_->window()->installEventFilter(this);
}

void TVisitorSuggestionList::Show(std::vector<TReturningVisitor> visitors)
{
    visitors_ = std::move(visitors);
    if (visitors_.empty()) {
        Close();
        return;
    }
    list_->clear();
    // Rows leave 2 pixels above and below the glyphs, so the highlight never clips them.
    const int rowHeight = QFontMetrics(list_->font()).height() + 4;
    for (const TReturningVisitor& v : visitors_) {
        auto* item = new QTreeWidgetItem(QStringList{v.name, v.identityNumber, v.mobile, v.lastVisit});
        item->setSizeHint(0, QSize(0, rowHeight));
        list_->addTopLevelItem(item);
    }
    list_->setCurrentItem(list_->topLevelItem(0));
    placeUnderEdit();
    list_->show();
    list_->raise();
}

void TVisitorSuggestionList::placeUnderEdit()
{
    const QFontMetrics metrics(list_->font());
    int width = 2 * list_->frameWidth();
    for (int c = 0; c < kColumns; ++c) {
        int widest = 0;
        for (int i = 0; i < list_->topLevelItemCount(); ++i)
            widest = std::max(widest, metrics.horizontalAdvance(list_->topLevelItem(i)->text(c)));
        list_->setColumnWidth(c, widest + kColumnGap);
        width += widest + kColumnGap;
    }
    const int rowHeight = std::max(list_->sizeHintForRow(0), metrics.height() + 4);
    const int height = rowHeight * list_->topLevelItemCount() + 2 * list_->frameWidth();
    QPoint at = edit_->mapToGlobal(QPoint(0, edit_->height()));
    // Kept on the screen: above the edit when there is no room below it.
    if (const QScreen* screen = edit_->screen()) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height > area.bottom())
            at.setY(edit_->mapToGlobal(QPoint(0, 0)).y() - height);
        at.setX(std::min(at.x(), area.right() - width));
    }
    list_->setGeometry(QRect(at, QSize(std::max(width, edit_->width()), height)));
}

void TVisitorSuggestionList::Close() { list_->hide(); }

bool TVisitorSuggestionList::IsShown() const { return list_->isVisible(); }

int TVisitorSuggestionList::CurrentLine() const
{
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

void TVisitorSuggestionList::moveHighlight(int step)
{
    const int count = list_->topLevelItemCount();
    if (count == 0)
        return;
    const int line = std::clamp(CurrentLine() + step, 0, count - 1);
    list_->setCurrentItem(list_->topLevelItem(line));
}

void TVisitorSuggestionList::pick(int line)
{
    if (line < 0 || line >= static_cast<int>(visitors_.size()))
        return;
    const TReturningVisitor visitor = visitors_[static_cast<std::size_t>(line)];
    Close();
    if (OnPick)
        OnPick(visitor);
}

bool TVisitorSuggestionList::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsShown())
        return false;
    if (watched == edit_->window()) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Hide || event->type() == QEvent::WindowDeactivate)
            Close();
        return false;
    }
    switch (event->type()) {
    case QEvent::FocusOut:
    case QEvent::Hide: Close(); return false;
    case QEvent::ShortcutOverride: {
        // Escape belongs to the list while it is shown.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Escape: Close(); return true;
        case Qt::Key_Up: moveHighlight(-1); return true;
        case Qt::Key_Down: moveHighlight(1); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: pick(CurrentLine()); return true;
        default: return false;
        }
    }
    default: return false;
    }
}
