// A register's decrypted pages as an attacker shapes them (the key is built
// into the program, so encryption is no barrier): a sound register image with
// the input written over it (the first four bytes give the offset, the rest the
// bytes). The hardened handle checks the schema; an image that passes runs the
// program's kinds of statements, which must fail cleanly or succeed.
#include "db/DatabaseError.h"
#include "db/RegisterSchema.h"
#include "db/Sqlite.h"

#include <QByteArray>
#include <cstdint>
#include <cstring>

namespace {

// Stops a statement of a huge or looping image after a bounded amount of work.
int stopLongWork(void* steps) { return ++*static_cast<int*>(steps) > 20000; }

// The register's tables and indexes with two rows, on small pages.
QByteArray soundImage()
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db,
                 "PRAGMA page_size = 512;"
                 "CREATE TABLE data (编号 INTEGER PRIMARY KEY AUTOINCREMENT, 分类 TEXT, 姓名 TEXT, 身份证 TEXT,"
                 " 手机 TEXT, 电话 TEXT, 来由 TEXT, 地址 TEXT, 来访 TEXT, 离开 TEXT, 备注 TEXT, 日期 TEXT);"
                 "CREATE TABLE Pass (密码 TEXT);"
                 "CREATE INDEX data_ids ON data (编号);"
                 "CREATE INDEX data_texts ON data (姓名, 来由, 分类, 备注);"
                 "CREATE INDEX data_numbers ON data (身份证, 手机, 电话);"
                 "CREATE INDEX data_address ON data (地址);"
                 "INSERT INTO Pass VALUES ('43590DA7229AF019');"
                 "INSERT INTO data (分类, 姓名, 身份证, 来由, 备注) VALUES ('快递', '张三', '110101199003077777', "
                 "'送货', '北门'),"
                 " ('访客', '李四', '', '面试', '');",
                 nullptr, nullptr, nullptr);
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(db, "main", &size, 0);
    QByteArray image(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    sqlite3_free(bytes);
    sqlite3_close(db);
    return image;
}

bool hardened(sqlite3* db)
{
    try {
        HardenHandle(db);
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

bool passesSchemaCheck(sqlite3* db)
{
    try {
        CheckRegisterSchema(db);
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK || !hardened(db)) {
        sqlite3_close(db);
        return 0;
    }
    int steps = 0;
    sqlite3_progress_handler(db, 100, stopLongWork, &steps);
    static const QByteArray sound = soundImage();
    QByteArray patched = sound;
    if (size >= 4) {
        quint32 offset = 0;
        std::memcpy(&offset, data, 4);
        const qsizetype at = static_cast<qsizetype>(offset % static_cast<quint32>(sound.size() + 1));
        const qsizetype length = static_cast<qsizetype>(size - 4);
        if (at + length > patched.size())
            patched.resize(at + length);
        std::memcpy(patched.data() + at, data + 4, static_cast<size_t>(length));
    }
    const auto imageSize = static_cast<sqlite3_int64>(patched.size());
    auto* image = static_cast<unsigned char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(imageSize)));
    std::memcpy(image, patched.constData(), static_cast<size_t>(imageSize));
    const bool passes = sqlite3_deserialize(db, "main", image, imageSize, imageSize,
                                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE)
                            == SQLITE_OK
                        && passesSchemaCheck(db);
    if (size < 4 && !passes)
        __builtin_trap(); // the sound register itself must pass
    if (passes) {
        for (const char* sql :
             {"Select 密码 from Pass", "Select 编号,分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注 from data",
              "Select 编号,分类,姓名 from data where 姓名 like '%张%'",
              "Insert into data (分类,姓名,日期) values ('快递','张三','2026/12/8 9:00:00')",
              "Update data set 来由='x' where 编号=1", "Delete from data where 编号=2",
              "Update Pass set 密码='43590DA7229AF019'"}) {
            steps = 0;
            sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        }
    }
    sqlite3_close(db);
    return 0;
}
