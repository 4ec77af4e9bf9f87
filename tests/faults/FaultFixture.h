#pragma once
#include "FormFixture.h"

#include "app/Unit1.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"
#include "login/Unit_Login.h"

#include "db/RegisterQuery.h"
#include <QDir>
#include <QFile>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstring>

// A register and its windows, logged in, with helpers to look at the files.
class FaultFixture : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        oldTemp_ = qgetenv("TMPDIR");
    }
    void TearDown() override
    {
        FormFixture::TearDown();
        qputenv("TMPDIR", oldTemp_);
    }

    void useTemporaryFolder(const QString& path)
    {
        QDir().mkpath(path);
        qputenv("TMPDIR", QFile::encodeName(path));
    }

    void logIn()
    {
        form1->Timer_CheckLogin->stop();
        form1->Button_CheckLoginClick();
        form2->Edit_LoginPass->setText(QString::fromLatin1(kAdminPassword));
        form2->Button_LoginingClick();
        ASSERT_FALSE(form2->Edit_LoginPass_Temp->text().isEmpty());
    }

    QByteArray bytes(const QString& name) const
    {
        QFile file(dir.file(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeBytes(const QString& name, const QByteArray& content) const
    {
        QFile file(dir.file(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    }

    // Rows of data (all columns but the date) and the Pass value.
    QStringList dump() const
    {
        QStringList rows;
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr);
        bool keyed = true;
        try {
            KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
        } catch (const EDatabaseError&) {
            keyed = false;
        }
        if (keyed) {
            SqliteStatement data(db, QStringLiteral("SELECT 编号,分类,姓名,身份证,来由,备注 FROM data ORDER BY 编号"));
            while (data.step()) {
                QStringList values;
                for (int i = 0; i < data.columnCount(); ++i)
                    values << data.columnText(i);
                rows << values.join(QLatin1Char('|'));
            }
            SqliteStatement pass(db, QStringLiteral("SELECT 密码 FROM Pass"));
            while (pass.step())
                rows << QStringLiteral("Pass ") + pass.columnText(0);
        }
        sqlite3_close(db);
        return rows;
    }

    void fillRecord(const QString& name, const QString& remarks = QString())
    {
        form1->Edit_FenLei->setEditText(QStringLiteral("QQ帐号"));
        form1->Edit_XingMing->setText(name);
        form1->Edit_IDNumber->setText(QStringLiteral("110101199001010011"));
        form1->Edit_LaiYou->setText(QStringLiteral("送货"));
        form1->Memo_BeiZhu->setPlainText(remarks);
    }

    // The texts of the error boxes shown so far.
    QStringList errors() const
    {
        QStringList texts;
        for (const MessageBoxes::Request& r : boxes)
            if (r.kind == MessageBoxes::Kind::Error)
                texts << r.text;
        return texts;
    }

private:
    QByteArray oldTemp_;
};
