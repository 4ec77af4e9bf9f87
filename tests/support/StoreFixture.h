#pragma once
#include "TempDir.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"

#include <gtest/gtest.h>
#include <memory>

// A fresh register in a temporary folder with a connection and a query on it.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_THROW(CreateRegisterFile(dir.path(), QStringLiteral("abc123"), false));
        connection.SetConnectionString(RegisterConnectionString(dir.folder()));
    }

    // Runs one statement line on the working query.
    void exec(const SqlLine& line)
    {
        query.SQL.Clear();
        query.SQL.Add(line);
        query.ExecSQL();
    }

    void open(const SqlLine& line)
    {
        query.SQL.Clear();
        query.SQL.Add(line);
        query.Open();
    }

    // The add statement with the given values for 分类 to 备注 and 日期.
    static SqlLine insertLine(const QStringList& v)
    {
        SqlLine line("Insert into data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) values ('");
        for (int i = 0; i < 11; ++i) {
            line += SqlValue{v.value(i)};
            line += i < 10 ? "','" : "')";
        }
        return line;
    }

    void addVisitor(const QString& name, const QString& category = QStringLiteral("QQ帐号"))
    {
        exec(insertLine({category, name, QStringLiteral("110101199003077777"), QString(), QString(),
                         QStringLiteral("送货"), QString(), QString(), QString(), QString(),
                         QStringLiteral("2026/12/8 9:00:00")}));
    }

    static SqlLine allRecords() { return SqlLine(SqlSelect{"Select ", kListedColumns, " from ", "data"}); }

    TempDir dir;
    TRegisterConnection connection;
    TRegisterQuery query{&connection};
};
