#include "audit/AuditTrailModel.h"
#include "db/RegisterConnection.h"

#include <exception>
#include <limits>

TAuditTrailModel::TAuditTrailModel(TRegisterConnection* connection, QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), connection_(connection), headers_(std::move(headers))
{}

void TAuditTrailModel::SetFilter(const TAuditFilter& filter)
{
    beginResetModel();
    filter_ = filter;
    rows_.clear();
    exhausted_ = false;
    endResetModel();
    readPage();
}

int TAuditTrailModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TAuditTrailModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 5; }

QVariant TAuditTrailModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const TAuditRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case 0: return QString::number(row.seq);
    case 1: return row.at;
    case 2: return row.entry.event;
    case 3: return row.entry.subject;
    case 4: return row.entry.detail;
    default: return {};
    }
}

QVariant TAuditTrailModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return headers_.value(section);
}

bool TAuditTrailModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && !exhausted_; }

void TAuditTrailModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || exhausted_)
        return;
    // Asked by the view while it lays out or scrolls, where nothing may
    // raise: a page that cannot be read ends the rows shown.
    try {
        readPage();
    } catch (const std::exception&) {
        exhausted_ = true;
    }
}

void TAuditTrailModel::readPage()
{
    const qint64 before = rows_.empty() ? std::numeric_limits<qint64>::max() : rows_.back().seq;
    std::vector<TAuditRow> page = ReadAuditPage(connection_->handle(), filter_, before, kAuditRowsPerPage);
    exhausted_ = static_cast<int>(page.size()) < kAuditRowsPerPage;
    if (page.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    for (TAuditRow& row : page)
        rows_.push_back(std::move(row));
    endInsertRows();
}
