#include "RegisterImport.h"

#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"
#include "site/PgConnection.h"
#include "site/SiteError.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringDecoder>
#include <array>

namespace {

constexpr int kTexts = 11; // 分类 to 备注, then 日期
constexpr const char* kSelect =
    "select 编号,分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期 from data order by 编号";

QByteArray fileDigest(const QString& path)
{
    QFile in(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!in.open(QIODevice::ReadOnly) || !hash.addData(&in))
        throw ESiteError(path + QStringLiteral(": ") + in.errorString());
    return hash.result().toHex();
}

// The server keeps text as UTF-8 without NUL: a text it cannot hold as it is
// stops the import rather than arriving changed.
bool serverCanHold(const QByteArray& text)
{
    if (text.contains('\0'))
        return false;
    QStringDecoder strict(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = strict.decode(text);
    return !strict.hasError();
}

// One column of a batch of records as the text of an SQL array.
struct RecordBatchColumn {
    QByteArray array;
    int count = 0;

    void add(const QByteArray& value)
    {
        array += count++ == 0 ? "{" : ",";
        if (value.isNull()) {
            array += "NULL";
            return;
        }
        array += '"';
        for (const char c : value) {
            if (c == '"' || c == '\\')
                array += '\\';
            array += c;
        }
        array += '"';
    }
    QByteArray take()
    {
        QByteArray whole = count == 0 ? QByteArray("{}") : array + '}';
        array.clear();
        count = 0;
        return whole;
    }
};

constexpr int kBatchSize = 2000;

// $1 the gate, $2 the record numbers, $3 to $13 the texts. A record the site
// already has from this gate is left as it is.
constexpr const char* kInsertBatch =
    "WITH batch AS ("
    " SELECT * FROM unnest($2::bigint[], $3::text[], $4::text[], $5::text[], $6::text[], $7::text[], $8::text[],"
    "  $9::text[], $10::text[], $11::text[], $12::text[], $13::text[])"
    "  AS b(number, category, name, identity_number, mobile, telephone, reason, address, arrival, departure,"
    "  remarks, written)),"
    " added AS ("
    " INSERT INTO site.records (id, in_gate, changed_by, source_number, category, name, identity_number,"
    "  mobile, telephone, reason, address, arrival, departure, remarks, written, out_gate)"
    " SELECT gen_random_uuid(), $1, $1, number, category, name, identity_number, mobile, telephone, reason,"
    "  address, arrival, departure, remarks, written,"
    "  CASE WHEN coalesce(trim(departure), '') = '' THEN NULL ELSE $1 END FROM batch ORDER BY number"
    " ON CONFLICT (in_gate, source_number) DO NOTHING RETURNING id, source_number)"
    " INSERT INTO site.changes (change_id, gate, kind, record_id)"
    " SELECT gen_random_uuid(), $1, 'import', id FROM added ORDER BY source_number RETURNING seq";

} // namespace

ImportResult ImportRegister(PgConnection& admin, const QString& folder, const QString& gate)
{
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QString path = base + QLatin1String(kRegisterFileName);
    if (!QFile::exists(path))
        throw ESiteError(path + QStringLiteral(": no register here"));

    TRegisterConnection connection;
    connection.SetConnectionString(RegisterConnectionString(base));
    SqliteStatement select(connection.handle(), QString::fromUtf8(kSelect));
    const QByteArray digest = fileDigest(path);

    ImportResult result;
    PgTransaction transaction(admin);
    // The changes lock of the push functions (SiteSchema.cpp): the import's
    // changes commit in the order of their seq as every gate's.
    admin.exec("SELECT pg_advisory_xact_lock(7460091)");
    const PgResult known = admin.exec("SELECT removed_at IS NULL FROM site.gates WHERE name = $1", {gate.toUtf8()});
    if (known.rows() != 1 || known.bytes(0, 0) != "t")
        throw ESiteError(QStringLiteral("no gate ") + gate
                         + QStringLiteral(" in the site; add it with add-gate first"));
    result.fileSeenBefore = admin.exec("SELECT FROM site.imports WHERE file_sha256 = $1", {digest}).rows() == 1;

    // Records go up in batches, each column as one array: a round trip per
    // record would make a large register take many minutes.
    std::array<RecordBatchColumn, kTexts + 1> batch; // 编号, then the texts
    const auto sendBatch = [&] {
        if (batch[0].count == 0)
            return;
        QList<QByteArray> values{gate.toUtf8()};
        for (RecordBatchColumn& column : batch)
            values.append(column.take());
        result.added += admin.exec(kInsertBatch, values).rows();
    };
    while (select.step()) {
        sqlite3_stmt* row = select.get();
        const QByteArray number = QByteArray::number(sqlite3_column_int64(row, 0));
        batch[0].add(number);
        for (int i = 1; i <= kTexts; ++i) {
            if (sqlite3_column_type(row, i) == SQLITE_NULL) {
                batch[i].add(QByteArray());
                continue;
            }
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(row, i));
            const QByteArray bytes(text, sqlite3_column_bytes(row, i));
            if (!serverCanHold(bytes))
                throw ESiteError(QStringLiteral("record %1 holds text that is not UTF-8: nothing was imported")
                                     .arg(QString::fromLatin1(number)));
            batch[i].add(bytes);
        }
        ++result.records;
        if (batch[0].count == kBatchSize)
            sendBatch();
    }
    sendBatch();
    admin.exec("INSERT INTO site.imports (file_sha256, gate, records) VALUES ($1, $2, $3) "
               "ON CONFLICT (file_sha256) DO NOTHING",
               {digest, gate.toUtf8(), QByteArray::number(result.records)});
    transaction.commit();
    return result;
}
