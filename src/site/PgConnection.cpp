#include "site/PgConnection.h"

#include "site/SiteError.h"

#include <libpq-fe.h>
#include <vector>

namespace {

QString serverMessage(const PGconn* conn) { return QString::fromUtf8(PQerrorMessage(conn)).trimmed(); }

} // namespace

PgResult::PgResult(pg_result* result) : result_(result, PQclear) {}

int PgResult::rows() const { return PQntuples(result_.get()); }

bool PgResult::isNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }

QByteArray PgResult::bytes(int row, int column) const
{
    return QByteArray(PQgetvalue(result_.get(), row, column), PQgetlength(result_.get(), row, column));
}

PgConnection::PgConnection(const QByteArray& connectionString) : PgConnection(PQconnectdb(connectionString.constData()))
{}

PgConnection::PgConnection(pg_conn* connected) : conn_(connected) { setUp(); }

void PgConnection::setUp()
{
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString message = serverMessage(conn_);
        PQfinish(conn_);
        conn_ = nullptr;
        throw ESiteError(message);
    }
    if (PQsetClientEncoding(conn_, "UTF8") != 0) {
        PQfinish(conn_);
        conn_ = nullptr;
        throw ESiteError(QStringLiteral("the server does not speak UTF-8"));
    }
    // Notices ("already exists, skipping") say nothing a caller needs.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
}

PgConnection::~PgConnection()
{
    if (conn_)
        PQfinish(conn_);
}

PgResult PgConnection::exec(const char* sql, const QList<QByteArray>& parameters)
{
    pg_result* raw = nullptr;
    if (parameters.isEmpty()) {
        raw = PQexec(conn_, sql);
    } else {
        std::vector<const char*> values;
        std::vector<int> lengths;
        values.reserve(static_cast<std::size_t>(parameters.size()));
        for (const QByteArray& p : parameters) {
            values.push_back(p.isNull() ? nullptr : p.constData());
            lengths.push_back(static_cast<int>(p.size()));
        }
        raw = PQexecParams(conn_, sql, static_cast<int>(parameters.size()), nullptr, values.data(), lengths.data(),
                           nullptr, 0);
    }
    PgResult result(raw);
    const ExecStatusType status = PQresultStatus(raw);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw ESiteError(QString::fromUtf8(raw ? PQresultErrorMessage(raw) : PQerrorMessage(conn_)).trimmed());
    return result;
}

QByteArray PgConnection::identifier(const QString& name) const
{
    const QByteArray utf8 = name.toUtf8();
    char* quoted = PQescapeIdentifier(conn_, utf8.constData(), static_cast<std::size_t>(utf8.size()));
    if (!quoted)
        throw ESiteError(serverMessage(conn_));
    QByteArray result(quoted);
    PQfreemem(quoted);
    return result;
}

PgTransaction::PgTransaction(PgConnection& connection) : connection_(connection) { connection_.exec("BEGIN"); }

PgTransaction::~PgTransaction()
{
    if (open_)
        PQclear(PQexec(connection_.get(), "ROLLBACK"));
}

void PgTransaction::commit()
{
    connection_.exec("COMMIT");
    open_ = false;
}
