#pragma once
#include "FormFixture.h"
#include "RegisterRows.h"

#include "app/Unit1.h"
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
        FormFixture::logIn();
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
        return RegisterRows(dir.file(QStringLiteral("_.udb")), QStringLiteral("编号,分类,姓名,身份证,来由,备注"));
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
