#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QString>

class TRegisterDataSource;

// The record grid's view of the working query: it asks the query for the
// rows on screen only, so its cost does not grow with the register.
class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDBGridModel(TRegisterDataSource* dataSource, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // While numbers are masked, 身份证 and 手机 show only their ends.
    void setNumbersMasked(bool masked);
    // Rows of these record numbers are drawn in their own colour, until the
    // list is filled anew.
    void setMarkedRecords(const QSet<qint64>& recordNumbers);
    // One more column after the query's, titled `title`, showing a text per
    // record number, until the list is filled anew.
    void setAddedColumn(const QString& title, const QHash<qint64, QString>& texts);
    // The record numbers of every listed row, in list order.
    QList<qint64> listedRecordNumbers() const;

private:
    void reload();
    QVariant markedBackground(const QModelIndex& index) const;
    TRegisterDataSource* dataSource_;
    int rows_ = 0;
    int columns_ = 0;
    int currentRow_ = -1; // the row the query stands on, marked in the row indicator
    bool numbersMasked_ = false;
    QSet<qint64> marked_;
    bool hasAddedColumn_ = false;
    QString addedTitle_;
    QHash<qint64, QString> addedTexts_;
    mutable bool damageTold_ = false;
};
