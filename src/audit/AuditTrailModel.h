#pragma once
#include "audit/AuditStore.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class TRegisterConnection;

// The rows of the audit trail for a view, newest first: read a page at a time
// as the view scrolls to them, never the whole trail at once. Columns: the
// row's number, time, event, record number or count, detail.
class TAuditTrailModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TAuditTrailModel(TRegisterConnection* connection, QStringList headers, QObject* parent = nullptr);

    // Shows the rows of `filter` from the newest on. Raises EDatabaseError.
    void SetFilter(const TAuditFilter& filter);
    const TAuditFilter& Filter() const { return filter_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    void readPage();

    TRegisterConnection* connection_;
    QStringList headers_;
    TAuditFilter filter_;
    std::vector<TAuditRow> rows_;
    bool exhausted_ = true;
};

// Rows read per page.
inline constexpr int kAuditRowsPerPage = 200;
