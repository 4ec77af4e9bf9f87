#include "db/RegisterQuery.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/SearchIndex.h"
#include "db/Sqlite.h"

#include <algorithm>

namespace {

constexpr int kRowCacheLimit = 512;
// Reading rows in order, a gap in record numbers up to this is stepped over
// on the table walk; a larger one is reached by a new seek.
constexpr std::int64_t kWalkStride = 64;

QString closedMessage() { return QStringLiteral("Cannot perform this operation on a closed dataset"); }

} // namespace

TRegisterQuery::TRegisterQuery(TRegisterConnection* connection, QObject* parent)
    : QObject(parent), connection_(connection)
{
    SQL.onChanging = [this] { Close(); };
    connect(connection_, &TRegisterConnection::closing, this, &TRegisterQuery::Close);
}

TRegisterQuery::~TRegisterQuery() = default;

void TRegisterQuery::Close()
{
    if (!active_)
        return;
    active_ = false;
    eof_ = true;
    current_ = -1;
    snapshot_ = false;
    ids_ = {};
    rows_ = {};
    rowStatement_.reset();
    rowCache_.clear();
    fieldNames_.clear();
    emit afterClose();
}

void TRegisterQuery::ExecSQL()
{
    Close();
    connection_->Execute(SQL.compile());
}

void TRegisterQuery::Open()
{
    Close();
    const CompiledSql sql = SQL.compile();
    if (!openSnapshot(sql))
        openMaterialised(sql);
    active_ = true;
    current_ = RecordCount() > 0 ? 0 : -1;
    eof_ = RecordCount() == 0;
    emit afterOpen();
}

bool TRegisterQuery::openSnapshot(const CompiledSql& sql)
{
    // Every listing, search and filter is a plain select on data; anything
    // else is read whole.
    if (!sql.plainSelect || sql.plainSelect->table.compare(QLatin1String("data"), Qt::CaseInsensitive) != 0)
        return false;
    const SqlPlainSelect& shape = *sql.plainSelect;
    sqlite3* db = connection_->handle();
    // The row statement is prepared first so that a bad select list fails
    // before any work is done.
    auto rowStatement = std::make_unique<SqliteStatement>(db, QStringLiteral("SELECT ") + shape.list
                                                                  + QStringLiteral(" FROM data WHERE 编号 = ?"));
    // Without an order the engine may read the numbers from the smallest
    // index holding the searched column instead of the whole table; the
    // numbers are put in ascending order here, usually already are.
    std::vector<std::int64_t> ids;
    // A search the in-memory copy answers gives the same numbers, in order.
    if (auto found =
            connection_->searchIndex() ? connection_->searchIndex()->select(shape, sql.parameters) : std::nullopt) {
        ids = std::move(*found);
    } else {
        SqliteStatement idStatement(db, QStringLiteral("SELECT 编号 FROM data") + shape.rest);
        idStatement.bindTexts(sql.parameters);
        while (idStatement.step())
            ids.push_back(idStatement.columnInt64(0));
        if (!std::is_sorted(ids.begin(), ids.end()))
            std::sort(ids.begin(), ids.end());
    }
    QStringList names;
    for (int i = 0; i < rowStatement->columnCount(); ++i)
        names << rowStatement->columnName(i);
    fieldNames_ = names;
    ids_ = std::move(ids);
    rowStatement_ = std::move(rowStatement);
    selectList_ = shape.list;
    snapshot_ = true;
    cacheGeneration_ = connection_->writeGeneration();
    return true;
}

void TRegisterQuery::openMaterialised(const CompiledSql& sql)
{
    SqliteStatement statement(connection_->handle(), sql.text);
    statement.bindTexts(sql.parameters);
    std::vector<QStringList> rows;
    while (statement.step()) {
        QStringList row;
        for (int i = 0; i < statement.columnCount(); ++i)
            row << statement.columnText(i);
        rows.push_back(std::move(row));
    }
    QStringList names;
    for (int i = 0; i < statement.columnCount(); ++i)
        names << statement.columnName(i);
    fieldNames_ = names;
    rows_ = std::move(rows);
    snapshot_ = false;
}

void TRegisterQuery::requireActive() const
{
    if (!active_)
        throw EDatabaseError(closedMessage());
}

void TRegisterQuery::requireRows() const
{
    requireActive();
    if (RecordCount() == 0 || current_ < 0)
        throw EDatabaseError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted"));
}

int TRegisterQuery::RecordCount() const
{
    requireActive();
    return static_cast<int>(snapshot_ ? ids_.size() : rows_.size());
}

int TRegisterQuery::RecNo() const
{
    if (!active_ || current_ < 0)
        return -1;
    return current_ + 1;
}

void TRegisterQuery::moveTo(int index)
{
    const int count = RecordCount();
    const int target = count == 0 ? -1 : std::clamp(index, 0, count - 1);
    const bool moved = target != current_;
    current_ = target;
    if (moved)
        emit afterScroll();
}

void TRegisterQuery::First()
{
    requireActive();
    moveTo(0);
    eof_ = RecordCount() == 0;
}

void TRegisterQuery::Last()
{
    requireActive();
    moveTo(RecordCount() - 1);
    eof_ = true;
}

void TRegisterQuery::Next() { MoveBy(1); }

void TRegisterQuery::Prior() { MoveBy(-1); }

void TRegisterQuery::MoveBy(int distance)
{
    requireActive();
    const int count = RecordCount();
    if (count == 0)
        return;
    const long long target = static_cast<long long>(current_) + distance;
    eof_ = target > count - 1;
    moveTo(static_cast<int>(std::clamp<long long>(target, 0, count - 1)));
}

void TRegisterQuery::SetRecNo(int recNo)
{
    requireActive();
    moveTo(recNo - 1);
    eof_ = RecordCount() == 0;
}

void TRegisterQuery::ClearCurrentRow()
{
    requireActive();
    eof_ = true;
    if (current_ < 0)
        return;
    current_ = -1;
    emit afterScroll();
}

int TRegisterQuery::RowOfRecordNumber(std::int64_t recordNumber) const
{
    requireActive();
    if (snapshot_) {
        const auto found = std::find(ids_.begin(), ids_.end(), recordNumber);
        return found == ids_.end() ? -1 : static_cast<int>(found - ids_.begin()) + 1;
    }
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        bool isNumber = false;
        if (rows_[row].value(0).toLongLong(&isNumber) == recordNumber && isNumber)
            return static_cast<int>(row) + 1;
    }
    return -1;
}

const QStringList& TRegisterQuery::rowValues(int row) const
{
    if (!snapshot_)
        return rows_.at(static_cast<std::size_t>(row));
    if (cacheGeneration_ != connection_->writeGeneration() || rowCache_.size() >= kRowCacheLimit) {
        rowCache_.clear();
        cacheGeneration_ = connection_->writeGeneration();
    }
    const std::int64_t id = ids_.at(static_cast<std::size_t>(row));
    auto found = rowCache_.constFind(id);
    if (found != rowCache_.constEnd())
        return *found;
    QStringList values;
    rowStatement_->reset();
    rowStatement_->bindInt64(1, id);
    if (rowStatement_->step()) {
        for (int i = 0; i < rowStatement_->columnCount(); ++i)
            values << rowStatement_->columnText(i);
    } else {
        // The row went away after the snapshot was taken: it reads as empty.
        for (int i = 0; i < fieldNames_.size(); ++i)
            values << QString();
    }
    rowStatement_->reset();
    return *rowCache_.insert(id, values);
}

void TRegisterQuery::ReadRows(const std::function<bool(const QStringList&)>& visit) const
{
    requireActive();
    if (!snapshot_) {
        for (const QStringList& row : rows_)
            if (!visit(row))
                return;
        return;
    }
    SqliteStatement walk(connection_->handle(), QStringLiteral("SELECT 编号, ") + selectList_
                                                    + QStringLiteral(" FROM data WHERE 编号 >= ? ORDER BY 编号"));
    const int columns = walk.columnCount();
    bool onRow = false;
    std::int64_t at = 0;
    for (const std::int64_t id : ids_) {
        if (!onRow || id <= at || id - at > kWalkStride) {
            walk.reset();
            walk.bindInt64(1, id);
            onRow = walk.step();
            at = onRow ? walk.columnInt64(0) : 0;
        }
        while (onRow && at < id) {
            onRow = walk.step();
            at = onRow ? walk.columnInt64(0) : 0;
        }
        QStringList values;
        // A row gone since the snapshot was taken reads as empty.
        const bool found = onRow && at == id;
        for (int i = 1; i < columns; ++i)
            values << (found ? walk.columnText(i) : QString());
        if (!visit(values))
            return;
    }
}

QString TRegisterQuery::CellAt(int row, int column) const
{
    requireActive();
    if (row < 0 || row >= RecordCount())
        return {};
    return rowValues(row).value(column);
}

QString TRegisterQuery::Fields(int i) const
{
    requireRows();
    if (i < 0 || i >= FieldCount())
        throw EDatabaseError(QStringLiteral("field index out of range: ") + QString::number(i));
    return rowValues(current_).value(i);
}

QString TRegisterQuery::FieldByName(const QString& name) const
{
    requireActive();
    const int i = static_cast<int>(fieldNames_.indexOf(name));
    if (i < 0)
        throw EDatabaseError(QStringLiteral("field not found: ") + name);
    if (RecordCount() == 0 || current_ < 0)
        return {};
    return rowValues(current_).value(i);
}

void TRegisterQuery::Delete()
{
    requireRows();
    if (!snapshot_)
        throw EDatabaseError(QStringLiteral("this result cannot delete rows"));
    const int row = current_;
    // Through the connection, so the day index follows in the same transaction.
    connection_->Execute({QStringLiteral("DELETE FROM data WHERE 编号 = ?"),
                          {QString::number(ids_.at(static_cast<std::size_t>(row)))},
                          std::nullopt});
    ids_.erase(ids_.begin() + row);
    current_ = ids_.empty() ? -1 : std::min(row, static_cast<int>(ids_.size()) - 1);
    eof_ = ids_.empty();
    emit afterDelete(row);
    emit afterScroll();
}
