#include "app/DBGridModel.h"
#include "db/DatabaseError.h"
#include "db/RegisterDataSource.h"
#include "db/RegisterQuery.h"
#include "db/StoreMessages.h"
#include "records/NumberMask.h"
#include "shell/MessageBoxes.h"

#include <QColor>
#include <QTimer>
#include <exception>

TDBGridModel::TDBGridModel(TRegisterDataSource* dataSource, QObject* parent)
    : QAbstractTableModel(parent), dataSource_(dataSource)
{
    TRegisterQuery* query = dataSource_->DataSet;
    connect(query, &TRegisterQuery::afterOpen, this, &TDBGridModel::reload);
    connect(query, &TRegisterQuery::afterClose, this, &TDBGridModel::reload);
    connect(query, &TRegisterQuery::afterDelete, this, [this](int row) {
        beginRemoveRows(QModelIndex(), row, row);
        --rows_;
        endRemoveRows();
    });
    connect(query, &TRegisterQuery::afterScroll, this, [this] {
        const int old = currentRow_;
        currentRow_ = dataSource_->DataSet->RecNo() - 1;
        if (old >= 0 && old < rows_)
            emit headerDataChanged(Qt::Vertical, old, old);
        if (currentRow_ >= 0)
            emit headerDataChanged(Qt::Vertical, currentRow_, currentRow_);
    });
}

void TDBGridModel::reload()
{
    beginResetModel();
    damageTold_ = false;
    marked_.clear();
    hasAddedColumn_ = false;
    addedTexts_.clear();
    TRegisterQuery* query = dataSource_->DataSet;
    rows_ = query->Active() ? query->RecordCount() : 0;
    columns_ = query->Active() ? query->FieldCount() : 0;
    currentRow_ = query->RecNo() - 1;
    endResetModel();
}

int TDBGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TDBGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_ + (hasAddedColumn_ ? 1 : 0);
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::BackgroundRole)
        return markedBackground(index);
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_)
        return {};
    // Painting must not throw: a row the store cannot read shows empty. A
    // damaged page is told once per listing, after the painting.
    try {
        const TRegisterQuery* query = dataSource_->DataSet;
        if (index.column() >= columns_) // column 0 of every listing is 编号
            return addedTexts_.value(query->CellAt(index.row(), 0).toLongLong());
        const QString value = query->CellAt(index.row(), index.column());
        return numbersMasked_ ? MaskedCell(query->FieldName(index.column()), value) : value;
    } catch (const EDatabaseError& e) {
        if (e.message() == StoreMessages::RegisterDamaged() && !damageTold_) {
            damageTold_ = true;
            QTimer::singleShot(0, this, [message = e.message()] { MessageBoxes::ShowError(message); });
        }
        return QString();
    } catch (const std::exception&) {
        return QString();
    }
}

QVariant TDBGridModel::markedBackground(const QModelIndex& index) const
{
    if (marked_.isEmpty() || !index.isValid() || index.row() >= rows_)
        return {};
    try {
        // Column 0 of every listing is 编号.
        if (marked_.contains(dataSource_->DataSet->CellAt(index.row(), 0).toLongLong()))
            return QColor(0xFF, 0xD8, 0xA8); // a light orange, apart from the selection's blue
    } catch (const std::exception&) {}
    return {};
}

void TDBGridModel::setMarkedRecords(const QSet<qint64>& recordNumbers)
{
    marked_ = recordNumbers;
    if (rows_ > 0 && columns_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1), {Qt::BackgroundRole});
}

void TDBGridModel::setAddedColumn(const QString& title, const QHash<qint64, QString>& texts)
{
    if (columns_ == 0)
        return;
    if (!hasAddedColumn_) {
        beginInsertColumns(QModelIndex(), columns_, columns_);
        hasAddedColumn_ = true;
        addedTitle_ = title;
        addedTexts_ = texts;
        endInsertColumns();
        return;
    }
    addedTitle_ = title;
    addedTexts_ = texts;
    emit headerDataChanged(Qt::Horizontal, columns_, columns_);
    if (rows_ > 0)
        emit dataChanged(index(0, columns_), index(rows_ - 1, columns_), {Qt::DisplayRole});
}

QList<qint64> TDBGridModel::listedRecordNumbers() const
{
    QList<qint64> numbers;
    numbers.reserve(rows_);
    const TRegisterQuery* query = dataSource_->DataSet;
    for (int row = 0; row < rows_; ++row)
        numbers << query->CellAt(row, 0).toLongLong();
    return numbers;
}

void TDBGridModel::setNumbersMasked(bool masked)
{
    if (masked == numbersMasked_)
        return;
    numbersMasked_ = masked;
    if (rows_ > 0 && columns_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1), {Qt::DisplayRole});
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= columns_ ? QVariant(addedTitle_) : QVariant(dataSource_->DataSet->FieldName(section));
    return section == currentRow_ ? QStringLiteral("▶") : QString();
}
