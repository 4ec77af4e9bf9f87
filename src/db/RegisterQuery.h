#pragma once
#include "db/SqlStatement.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TRegisterConnection;
class SqliteStatement;

// A query on the register connection: it holds its statement as lines,
// executes statements without result and opens selects into a static result
// with a current row.
//
// A select on table data opens as a snapshot of which rows matched (their
// record numbers, ascending); the values of a row are read when asked for.
// Any other select is read whole.
class TRegisterQuery : public QObject {
    Q_OBJECT
public:
    explicit TRegisterQuery(TRegisterConnection* connection, QObject* parent = nullptr);
    ~TRegisterQuery() override;

    // Changing the statement closes the query first.
    TSqlStrings SQL;

    void Open();
    void Close();
    void ExecSQL();
    bool Active() const { return active_; }

    // Result operations; those that need an open result raise EDatabaseError
    // when the query is closed.
    int RecordCount() const;
    bool Eof() const { return !active_ || eof_; }
    int RecNo() const; // 1-based, -1 when empty or closed
    void First();
    void Prior();
    void Next();
    void Last();
    void MoveBy(int distance);
    void SetRecNo(int recNo); // moves to a 1-based row, clamped
    // Leaves the result without a current row (RecNo() -1) until the next
    // move; reading or deleting the current row then raises EDatabaseError.
    void ClearCurrentRow();
    // The 1-based row holding a record number (column 0), or -1.
    int RowOfRecordNumber(std::int64_t recordNumber) const;

    int FieldCount() const { return static_cast<int>(fieldNames_.size()); }
    QString FieldName(int i) const { return fieldNames_.value(i); }
    // Column i of the current row as text; null reads as empty.
    QString Fields(int i) const;
    QString Fields(DataColumn column) const { return Fields(ColumnIndex(column)); }
    QString FieldByName(const QString& name) const;
    // Column of any row (0-based) without moving the current row.
    QString CellAt(int row, int column) const;

    // Passes every row of the result to visit, in order, until it returns
    // false. Rows are read straight from the register, walking the table once,
    // not through the row cache: for reading a whole result.
    void ReadRows(const std::function<bool(const QStringList&)>& visit) const;

    // Removes the current row from table data at once and from the result.
    void Delete();

signals:
    void afterOpen();
    void afterClose();
    void afterScroll(); // the current row changed
    void afterDelete(int row);

private:
    void requireActive() const;
    void requireRows() const;
    void moveTo(int index);
    const QStringList& rowValues(int row) const;
    bool openSnapshot(const CompiledSql& sql);
    void openMaterialised(const CompiledSql& sql);

    TRegisterConnection* connection_;
    bool active_ = false;
    bool eof_ = true;
    int current_ = -1;
    QStringList fieldNames_;

    // Snapshot of a select on data: record numbers and a statement reading one row.
    bool snapshot_ = false;
    std::vector<std::int64_t> ids_;
    std::unique_ptr<SqliteStatement> rowStatement_;
    mutable QHash<std::int64_t, QStringList> rowCache_;
    mutable std::uint64_t cacheGeneration_ = 0;

    QString selectList_; // the select list of the snapshot's statement

    // Any other select: every row read at open.
    std::vector<QStringList> rows_;
};
