#pragma once
#include "FormFixture.h"
#include "app/Unit1.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"
#include "login/Unit_Login.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The windows after the first login check has run.
class LoginFixture : public FormFixture {
protected:
    void startAndWaitForLogin()
    {
        makeRegister();
        createForms();
        pump(1200);
    }

    // Runs one statement on the register file directly.
    void sql(const char* statement)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE,
                                  nullptr),
                  SQLITE_OK);
        ASSERT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
        ASSERT_EQ(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
};
