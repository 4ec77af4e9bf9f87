// Damaged and hostile files beside the program: each ends in a message or a
// quiet fall-back, never a crash, a hang or a rewrite of the user's file.
#include "FaultFixture.h"

#include "db/CategoryFile.h"
#include "skin/ShippedSkin.h"
#include "skin/SkinData.h"
#include "skin/SkinMessage.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryFile>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class DamagedRegisterTest : public FaultFixture {
protected:
    // The login check runs on the file as it is: the engine's message in the
    // default error box, no login window, the file left byte for byte.
    void expectRefusedAtLogin(const QByteArray& before)
    {
        createForms();
        form1->Timer_CheckLoginTimer();
        form1->Timer_CheckLogin->stop();
        ASSERT_EQ(errors().size(), 1) << boxTexts().join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(errors()[0].isEmpty());
        EXPECT_FALSE(form2->isVisible());
        EXPECT_TRUE(form2->Edit_LoginPass_Temp->text().isEmpty());
        form2.reset();
        form1.reset();
        EXPECT_EQ(bytes(QStringLiteral("_.udb")), before);
    }
};

TEST_F(DamagedRegisterTest, TruncatedGarbledAndEmptyFilesAreRefused)
{
    makeRegister();
    const QByteArray whole = bytes(QStringLiteral("_.udb"));
    ASSERT_GT(whole.size(), 4096);

    writeBytes(QStringLiteral("_.udb"), whole.left(1000));
    expectRefusedAtLogin(whole.left(1000));
    boxes.clear();

    QByteArray garbled = whole;
    std::mt19937 rng(7);
    for (qsizetype i = 16; i < garbled.size(); i += 3)
        garbled[i] = static_cast<char>(rng());
    writeBytes(QStringLiteral("_.udb"), garbled);
    expectRefusedAtLogin(garbled);
    boxes.clear();

    // An empty file opens as an empty database: no table Pass, nothing written.
    writeBytes(QStringLiteral("_.udb"), QByteArray());
    expectRefusedAtLogin(QByteArray());
}

TEST_F(DamagedRegisterTest, AnUnkeyedFileAndAFolderAreRefused)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Pass (密码 TEXT); INSERT INTO Pass VALUES ('43590DA7229AF019');"
                           "CREATE TABLE data (编号 INTEGER PRIMARY KEY, 分类 TEXT);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectRefusedAtLogin(bytes(QStringLiteral("_.udb")));
    boxes.clear();

    QFile::remove(dir.file(QStringLiteral("_.udb")));
    ASSERT_TRUE(QDir().mkdir(dir.file(QStringLiteral("_.udb"))));
    createForms();
    form1->Timer_CheckLoginTimer();
    form1->Timer_CheckLogin->stop();
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].contains(QLatin1String("folder"))) << errors()[0].toStdString();
    // Compaction takes only a file for the register.
    form1->Button11->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("没有发现数据库\"_.udb\"文件."));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("_.udb"))).isDir());
}

TEST_F(DamagedRegisterTest, AnUnreadableFile)
{
    makeRegister();
    const QByteArray path = QFile::encodeName(dir.file(QStringLiteral("_.udb")));
    ASSERT_EQ(::chmod(path.constData(), 0), 0);
    const QByteArray before = bytes(QStringLiteral("_.udb"));
    if (::geteuid() == 0) {
        // Root reads a file whatever its mode: the login goes ahead, and the
        // program leaves the mode as it found it.
        createForms();
        logIn();
        struct stat st {};
        ASSERT_EQ(::stat(path.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0u);
        EXPECT_TRUE(errors().isEmpty());
    } else {
        expectRefusedAtLogin(before);
    }
}

// The register handed over as "the backup" whose Pass is a view calling a
// faulty function: the login check shows the refusal, tries again a second
// later and carries on normally once a sound register is back.
TEST_F(DamagedRegisterTest, ACraftedSchemaIsRefusedAtLoginAndTheCheckRetries)
{
    makeRegister();
    const QByteArray sound = bytes(QStringLiteral("_.udb"));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &db,
                                  SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        ASSERT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
        ASSERT_EQ(sqlite3_exec(db, "DROP TABLE Pass; CREATE VIEW Pass AS SELECT rtreenode(2, zeroblob(64)) AS 密码;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    const QByteArray crafted = bytes(QStringLiteral("_.udb"));
    createForms();
    form1->Timer_CheckLoginTimer();
    ASSERT_EQ(errors().size(), 1) << boxTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(errors()[0].contains(QLatin1String("view Pass"))) << errors()[0].toStdString();
    EXPECT_TRUE(form1->Timer_CheckLogin->isActive());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_EQ(bytes(QStringLiteral("_.udb")), crafted);

    writeBytes(QStringLiteral("_.udb"), sound);
    form1->Timer_CheckLoginTimer();
    EXPECT_EQ(errors().size(), 1);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive());
}

class HostileCategoryFileTest : public FaultFixture {
protected:
    // Loads the file at start-up, within a time that rules out a hang, and
    // leaves it as it was.
    QStringList load(const QByteArray& content)
    {
        makeRegister();
        writeBytes(QStringLiteral("class.dat"), content);
        QElapsedTimer clock;
        clock.start();
        createForms();
        EXPECT_LT(clock.elapsed(), 20000);
        EXPECT_EQ(bytes(QStringLiteral("class.dat")), content);
        EXPECT_TRUE(boxes.isEmpty()) << boxTexts().join(QLatin1Char('\n')).toStdString();
        QStringList items;
        for (int i = 0; i < form1->Edit_FenLei->count(); ++i)
            items << form1->Edit_FenLei->itemText(i);
        EXPECT_EQ(form1->ComboBoxClass->count(), items.size());
        return items;
    }
};

TEST_F(HostileCategoryFileTest, InvalidGbkAndAZeroByteLoadWhatCanBeRead)
{
    // Bad sequences become replacement characters; the lines stay lines.
    const QStringList items = load(QByteArray("\x81\x20"
                                              "abc\r\n\xff\xfe\r\n\xb0\r\nQQ")
                                   + QByteArray("\0after\r\n", 8));
    ASSERT_EQ(items.size(), 4);
    EXPECT_TRUE(items[0].endsWith(QLatin1String("abc")));
    EXPECT_EQ(items[3], QStringLiteral("QQ")); // reading stops at the zero byte
}

TEST_F(HostileCategoryFileTest, TenMegabytesOfText)
{
    QByteArray content;
    for (int i = 0; content.size() < qsizetype{10} * 1024 * 1024; ++i)
        content += "category " + QByteArray::number(i) + QByteArray(1000, 'x') + "\r\n";
    const QStringList items = load(content);
    EXPECT_EQ(items.size(), content.count('\n'));
}

TEST_F(HostileCategoryFileTest, LinesOfAHundredThousandCharacters)
{
    QByteArray content;
    for (int i = 0; i < 20; ++i)
        content += QByteArray(100000, static_cast<char>('a' + i)) + "\r\n";
    const QStringList items = load(content);
    ASSERT_EQ(items.size(), 20);
    EXPECT_EQ(items[19], QString(100000, QLatin1Char('t')));
    // "+" writes the long lines back whole.
    form1->Edit_FenLei->setEditText(QStringLiteral("新分类"));
    form1->Button_Edit_FenLei_add->click();
    EXPECT_EQ(bytes(QStringLiteral("class.dat")), content + QByteArray("\xd0\xc2\xb7\xd6\xc0\xe0\r\n"));
}

TEST(DamagedSkinFile, LeavesTheSkinNotReadyAndSwitchedOff)
{
    // The skin's own message about an unknown container is recorded, not shown.
    QStringList messages;
    const TSkinMessageHandler previous = SetSkinMessageHandler([&messages](const QString& text) { messages << text; });
    TSkinData shipped;
    ASSERT_TRUE(LoadShippedSkin(shipped));
    const QByteArray skin = shipped.HeldSkinFile();
    ASSERT_GT(skin.size(), 1000);

    QByteArray garbled = skin;
    std::mt19937 rng(11);
    for (qsizetype i = 0; i < garbled.size(); i += 7)
        garbled[i] = static_cast<char>(rng());
    // A cut-off container still decodes (missing input reads as zero bits):
    // no crash, whatever it gives.
    for (const QByteArray& content : {skin.left(skin.size() / 2), skin.left(16)}) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        file.write(content);
        file.close();
        TSkinData data;
        data.SetSkinFile(file.fileName());
        data.Loaded();
    }
    // A header that names no known container leaves the skin not ready.
    const QList<QByteArray> damaged = {garbled, QByteArray(), QByteArray(4096, '\xff')};
    for (const QByteArray& content : damaged) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        file.write(content);
        file.close();
        TSkinData data;
        data.SetActive(true);
        data.SetSkinFile(file.fileName());
        EXPECT_FALSE(data.Ready()) << "a damaged skin of " << content.size() << " bytes";
        data.Loaded();
        EXPECT_FALSE(data.Active());
    }
    EXPECT_GE(messages.size(), 2);
    SetSkinMessageHandler(previous);
}

} // namespace
