#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

struct pg_conn;
struct pg_result;

// The result of one statement on the site's server.
class PgResult {
public:
    explicit PgResult(pg_result* result);
    int rows() const;
    bool isNull(int row, int column) const;
    // The value's bytes as the server sent them (text format).
    QByteArray bytes(int row, int column) const;
    QString text(int row, int column) const { return QString::fromUtf8(bytes(row, column)); }

private:
    std::shared_ptr<pg_result> result_;
};

// One connection to the site's server, in UTF-8. Raises ESiteError with the
// server's message when it cannot connect or a statement fails.
class PgConnection {
public:
    explicit PgConnection(const QByteArray& connectionString);
    // Takes a connection made by the caller (PQconnectStart), which is
    // finished with the object; raises ESiteError when it is not connected.
    explicit PgConnection(pg_conn* connected);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Runs one statement (or several, without parameters), values bound as
    // text parameters $1, $2...; a null QByteArray binds SQL null.
    PgResult exec(const char* sql, const QList<QByteArray>& parameters = {});
    // Quotes a name for use as an identifier.
    QByteArray identifier(const QString& name) const;
    pg_conn* get() const { return conn_; }

private:
    void setUp();
    pg_conn* conn_ = nullptr;
};

// A transaction on a connection: begun when made, rolled back when left
// without commit().
class PgTransaction {
public:
    explicit PgTransaction(PgConnection& connection);
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;
    void commit();

private:
    PgConnection& connection_;
    bool open_ = true;
};
