#include "app/WatchListWindow.h"
#include "app/FeatureTexts.h"
#include "base/VostrelError.h"
#include "db/RegisterConnection.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"
#include "watchlist/WatchList.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString skipReasonText(WatchSkipReason reason)
{
    switch (reason) {
    case WatchSkipReason::NoName: return FeatureTexts::WatchListSkippedNoName();
    case WatchSkipReason::ExtraColumns: return FeatureTexts::WatchListSkippedExtraColumns();
    case WatchSkipReason::WrongIdentity: return FeatureTexts::WatchListSkippedWrongIdentity();
    case WatchSkipReason::WrongMobile: return FeatureTexts::WatchListSkippedWrongMobile();
    case WatchSkipReason::AlreadyListed: return FeatureTexts::WatchListSkippedAlreadyListed();
    }
    return {};
}

// Asks for an entry's four texts; false when cancelled.
bool askEntry(QWidget* parent, const QString& title, TWatchEntry& entry)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("WatchEntryDialog"));
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);
    const QStringList captions = FeatureTexts::WatchListColumns();
    QString* fields[] = {&entry.name, &entry.identityNumber, &entry.mobile, &entry.reason};
    QLineEdit* edits[4] = {};
    for (int i = 0; i < 4; ++i) {
        edits[i] = new QLineEdit(*fields[i], &dialog);
        edits[i]->setMinimumWidth(220);
        form->addRow(captions[i], edits[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (edits[0]->text().trimmed().isEmpty())
            MessageBoxes::ShowMessage(FeatureTexts::WatchListNameMissing());
        else
            dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (int i = 0; i < 4; ++i)
        *fields[i] = edits[i]->text().trimmed();
    return true;
}

} // namespace

TWatchListWindow::TWatchListWindow(QWidget* parent, TWatchList* list, TRegisterConnection* connection)
    : QDialog(parent), list_(list), connection_(connection)
{
    setObjectName(QStringLiteral("WatchListWindow"));
    setWindowTitle(FeatureTexts::WatchListTitle());
    auto* layout = new QVBoxLayout(this);
    Grid_WatchList = new QTableWidget(0, 5, this);
    Grid_WatchList->setObjectName(QStringLiteral("Grid_WatchList"));
    Grid_WatchList->setHorizontalHeaderLabels(FeatureTexts::WatchListColumns());
    Grid_WatchList->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_WatchList->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid_WatchList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_WatchList->setTabKeyNavigation(false); // Tab goes on to the buttons
    Grid_WatchList->verticalHeader()->hide();
    Grid_WatchList->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {80, 150, 110, 180};
    for (int i = 0; i < 4; ++i)
        Grid_WatchList->setColumnWidth(i, widths[i]);
    layout->addWidget(Grid_WatchList);

    auto* row = new QHBoxLayout;
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    Button_Add = button("Button_Add", FeatureTexts::WatchListAdd());
    Button_Change = button("Button_Change", FeatureTexts::WatchListChange());
    Button_Remove = button("Button_Remove", FeatureTexts::WatchListRemove());
    Button_Import = button("Button_Import", FeatureTexts::WatchListImport());
    Button_ShowSkipped = button("Button_ShowSkipped", FeatureTexts::WatchListShowSkipped());
    Button_ShowSkipped->setEnabled(false);
    row->addStretch();
    Button_Close = button("Button_Close", FeatureTexts::WatchListClose());
    layout->addLayout(row);
    resize(720, 420);

    BindClick(Button_Add, [this] { Button_AddClick(); });
    BindClick(Button_Change, [this] { Button_ChangeClick(); });
    BindClick(Button_Remove, [this] { Button_RemoveClick(); });
    BindClick(Button_Import, [this] { Button_ImportClick(); });
    BindClick(Button_ShowSkipped, [this] { Button_ShowSkippedClick(); });
    connect(Button_Close, &QPushButton::clicked, this, &QDialog::accept);
    connect(Grid_WatchList, &QTableWidget::cellDoubleClicked, this,
            [this] { RunGuarded([this] { Button_ChangeClick(); }); });
    showEntries();
}

void TWatchListWindow::showEntries()
{
    const QList<TWatchEntry>& entries = list_->Entries();
    Grid_WatchList->setRowCount(static_cast<int>(entries.size()));
    for (int r = 0; r < entries.size(); ++r) {
        const TWatchEntry& e = entries[r];
        const QString cells[] = {e.name, e.identityNumber, e.mobile, e.reason, e.added};
        for (int c = 0; c < 5; ++c)
            Grid_WatchList->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}

qsizetype TWatchListWindow::selectedEntry() const
{
    const int row = Grid_WatchList->currentRow();
    if (row < 0 || row >= list_->Entries().size() || Grid_WatchList->selectedItems().isEmpty()) {
        MessageBoxes::ShowMessage(FeatureTexts::WatchListNothingSelected());
        return -1;
    }
    return row;
}

void TWatchListWindow::Button_AddClick()
{
    TWatchEntry entry;
    if (askEntry(this, FeatureTexts::WatchListAddTitle(), entry))
        AddEntry(entry.name, entry.identityNumber, entry.mobile, entry.reason);
}

void TWatchListWindow::AddEntry(const QString& name, const QString& identityNumber, const QString& mobile,
                                const QString& reason)
{
    list_->Add(connection_->handle(), TWatchEntry{0, name, identityNumber, mobile, reason, {}});
    showEntries();
    Grid_WatchList->selectRow(Grid_WatchList->rowCount() - 1);
}

void TWatchListWindow::Button_ChangeClick()
{
    const qsizetype row = selectedEntry();
    if (row < 0)
        return;
    TWatchEntry entry = list_->Entries()[row];
    if (askEntry(this, FeatureTexts::WatchListChangeTitle(), entry))
        ChangeSelected(entry.name, entry.identityNumber, entry.mobile, entry.reason);
}

void TWatchListWindow::ChangeSelected(const QString& name, const QString& identityNumber, const QString& mobile,
                                      const QString& reason)
{
    const qsizetype row = selectedEntry();
    if (row < 0)
        return;
    list_->Change(connection_->handle(),
                  TWatchEntry{list_->Entries()[row].id, name, identityNumber, mobile, reason, {}});
    showEntries();
    Grid_WatchList->selectRow(static_cast<int>(row));
}

void TWatchListWindow::Button_RemoveClick()
{
    const qsizetype row = selectedEntry();
    if (row < 0)
        return;
    const TWatchEntry entry = list_->Entries()[row];
    if (!MessageBoxes::AskWarningYesNo(FeatureTexts::WatchListConfirmRemove(entry.name)))
        return;
    list_->Remove(connection_->handle(), entry.id);
    showEntries();
}

void TWatchListWindow::Button_ImportClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, FeatureTexts::WatchListImportTitle(), QString(),
                                                          FeatureTexts::WatchListImportTypes());
    if (!fileName.isEmpty())
        ImportFile(fileName);
}

void TWatchListWindow::ImportFile(const QString& fileName)
{
    TWatchImportPlan plan;
    try {
        plan = list_->Import(connection_->handle(), fileName);
    } catch (const EVostrelError& e) {
        MessageBoxes::ShowMessage(FeatureTexts::WatchListImportFailed(e.message()));
        return;
    }
    skipped_ = plan.skipped;
    Button_ShowSkipped->setEnabled(!skipped_.isEmpty());
    showEntries();
    MessageBoxes::ShowMessage(FeatureTexts::WatchListImported(plan.entries.size(), plan.skipped.size()));
}

void TWatchListWindow::Button_ShowSkippedClick()
{
    constexpr qsizetype kMostShown = 30;
    QStringList lines;
    for (qsizetype i = 0; i < skipped_.size() && i < kMostShown; ++i)
        lines << FeatureTexts::WatchListSkippedLine(skipped_[i].line, skipReasonText(skipped_[i].reason));
    if (skipped_.size() > kMostShown)
        lines << FeatureTexts::WatchListMoreSkipped(skipped_.size() - kMostShown);
    MessageBoxes::ShowMessage(lines.join(QLatin1Char('\n')));
}
