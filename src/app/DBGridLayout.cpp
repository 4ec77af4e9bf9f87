#include "app/DBGridLayout.h"
#include "app/CutOffCellTips.h"
#include "db/RegisterQuery.h"
#include "shell/HandlerWiring.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr int kRowHeight = 18;
constexpr int kIndicatorWidth = 14;
constexpr std::array<int, kListedColumnCount> kColumnWidths = {40, 60, 100, 110, 110, 110, 200, 120, 120, 120, 60};
constexpr int kIdentityColumn = ColumnIndex(DataColumn::IdentityNumber);
constexpr int kIdentityLength = 18;

// 身份证 is wide enough for a whole 18-character number, masked too, in the
// list's font, with the cell's margins either side.
int identityColumnWidth(const QTableView* grid)
{
    const QFontMetrics metrics(grid->font());
    int widest = 0;
    for (const QChar c : QStringLiteral("0123456789X*"))
        widest = std::max(widest, metrics.horizontalAdvance(c));
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return std::max(kColumnWidths[kIdentityColumn], kIdentityLength * widest + 2 * margin + 1);
}

} // namespace

void SetUpRecordGrid(QTableView* grid)
{
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setItemDelegate(new TCutOffCellTips(grid));
    grid->setTabKeyNavigation(false);

    // A fixed row height keeps the vertical header from measuring rows: its
    // cost stays the same however many records the result holds.
    QHeaderView* rows = grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setFixedWidth(kIndicatorWidth);
    rows->setDefaultAlignment(Qt::AlignCenter);

    QHeaderView* titles = grid->horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ApplyRecordGridColumns(QTableView* grid)
{
    const int columns = grid->model() ? grid->model()->columnCount() : 0;
    for (int i = 0; i < columns && i < static_cast<int>(kColumnWidths.size()); ++i) {
        grid->setColumnHidden(i, i == ColumnIndex(DataColumn::Remarks));
        grid->setColumnWidth(i, i == kIdentityColumn ? identityColumnWidth(grid)
                                                     : kColumnWidths[static_cast<std::size_t>(i)]);
    }
}

void KeepGridInStepWithQuery(QTableView* grid, TRegisterQuery* query)
{
    QAbstractItemModel* model = grid->model();
    // While rows are removed or the model is rebuilt, the selection model
    // moves its current index by itself; those moves are not the user's and
    // must not move the query.
    auto settling = std::make_shared<bool>(false);
    auto settle = [settling] { *settling = true; };
    auto settled = [settling] { *settling = false; };
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, grid, settle);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, grid, settled);
    QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, grid, settle);
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, settled);

    auto following = std::make_shared<bool>(false);
    auto followQuery = [grid, query, following, settling] {
        if (*settling)
            return;
        const int row = query->RecNo() - 1;
        QAbstractItemModel* m = grid->model();
        if (row < 0 || row >= m->rowCount()) {
            grid->selectionModel()->clear();
            return;
        }
        int column = grid->currentIndex().isValid() ? grid->currentIndex().column() : 0;
        if (grid->isColumnHidden(column))
            column = 0;
        *following = true;
        grid->selectionModel()->setCurrentIndex(m->index(row, column),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        *following = false;
    };
    // The model connected to these signals first, so it is up to date here.
    QObject::connect(query, &TRegisterQuery::afterOpen, grid, followQuery);
    QObject::connect(query, &TRegisterQuery::afterScroll, grid, followQuery);

    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, grid,
                     [query, following, settling](const QModelIndex& current) {
                         if (*following || *settling || !current.isValid() || !query->Active())
                             return;
                         RunGuarded([&] { query->SetRecNo(current.row() + 1); });
                     });
}
