#include "FormFixture.h"
#include "EventPump.h"
#include "app/Unit1.h"
#include "db/RegisterFile.h"
#include "login/Unit_Login.h"
#include "shell/ExecutableFolder.h"

#include "db/RegisterConnection.h"
#include "db/Sqlite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

void FormFixture::SetUp()
{
    SetExecutableFolderForTesting(dir.folder());
    MessageBoxes::SetScript([this](const MessageBoxes::Request& r) {
        boxes << r;
        if (r.kind != MessageBoxes::Kind::WarningYesNo || answers_.empty())
            return false;
        const bool yes = answers_.front();
        answers_.pop_front();
        return yes;
    });
}

void FormFixture::TearDown()
{
    form2.reset();
    form1.reset();
    MessageBoxes::SetScript(nullptr);
    SetExecutableFolderForTesting(QString());
    AdminPassword.clear();
}

void FormFixture::makeRegister()
{
    ASSERT_NO_THROW(CreateRegisterFile(dir.path(), QString::fromLatin1(kAdminPassword), false));
}

void FormFixture::createForms()
{
    form1 = std::make_unique<TForm1>();
    form2 = std::make_unique<TForm2>(form1.get());
    form1->LoginForm = form2.get();
}

void FormFixture::insertRows(const QList<QStringList>& rows)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    ASSERT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const QStringList& r : rows) {
        SqliteStatement insert(
            db, QStringLiteral("INSERT INTO data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) VALUES "
                               "(?,?,?,?,?,?,?,?,?,?,?)"));
        QStringList values = r;
        while (values.size() < 11)
            values << QString();
        insert.bindTexts(values.mid(0, 11));
        insert.step();
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void FormFixture::answerNextQuestions(std::initializer_list<bool> answers)
{
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

QStringList FormFixture::boxTexts() const
{
    QStringList texts;
    for (const MessageBoxes::Request& r : boxes)
        texts << r.text;
    return texts;
}

void FormFixture::pump(int milliseconds) { pumpEvents(milliseconds); }

void FormFixture::enterPassword(const QString& password)
{
    form2->Edit_LoginPass->setText(password);
    form2->Button_Logining->click();
}

void FormFixture::logIn()
{
    form1->Timer_CheckLoginTimer();
    enterPassword(QString::fromLatin1(kAdminPassword));
}

void FormFixture::typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        const int key = c.unicode() < 128 ? QChar(c).toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}
