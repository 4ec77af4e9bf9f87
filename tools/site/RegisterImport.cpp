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
    const PgResult known = admin.exec("SELECT removed_at IS NULL FROM site.gates WHERE name = $1", {gate.toUtf8()});
    if (known.rows() != 1 || known.bytes(0, 0) != "t")
        throw ESiteError(QStringLiteral("no gate ") + gate
                         + QStringLiteral(" in the site; add it with add-gate first"));
    result.fileSeenBefore = admin.exec("SELECT FROM site.imports WHERE file_sha256 = $1", {digest}).rows() == 1;

    while (select.step()) {
        sqlite3_stmt* row = select.get();
        const QByteArray number = QByteArray::number(sqlite3_column_int64(row, 0));
        QList<QByteArray> values{gate.toUtf8(), number};
        for (int i = 1; i <= kTexts; ++i) {
            if (sqlite3_column_type(row, i) == SQLITE_NULL) {
                values.append(QByteArray());
                continue;
            }
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(row, i));
            QByteArray bytes(text, sqlite3_column_bytes(row, i));
            if (!serverCanHold(bytes))
                throw ESiteError(QStringLiteral("record %1 holds text that is not UTF-8: nothing was imported")
                                     .arg(QString::fromLatin1(number)));
            values.append(bytes);
        }
        ++result.records;
        const PgResult added = admin.exec(
            "WITH added AS ("
            " INSERT INTO site.records (id, in_gate, changed_by, source_number, category, name, identity_number,"
            "  mobile, telephone, reason, address, arrival, departure, remarks, written, out_gate)"
            " VALUES (gen_random_uuid(), $1, $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13,"
            "  CASE WHEN coalesce(trim($11), '') = '' THEN NULL ELSE $1 END)"
            " ON CONFLICT (in_gate, source_number) DO NOTHING RETURNING id)"
            " INSERT INTO site.changes (change_id, gate, kind, record_id)"
            " SELECT gen_random_uuid(), $1, 'import', id FROM added RETURNING seq",
            values);
        result.added += added.rows();
    }
    admin.exec("INSERT INTO site.imports (file_sha256, gate, records) VALUES ($1, $2, $3) "
               "ON CONFLICT (file_sha256) DO NOTHING",
               {digest, gate.toUtf8(), QByteArray::number(result.records)});
    transaction.commit();
    return result;
}
