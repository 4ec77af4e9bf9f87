// Runs the real windows against a register folder, logs in, and works the
// handlers in a random loop until it is killed. Before each operation it
// journals what it is about to do ("try"), and once the handler has shown its
// success (or, for the silent handlers, returned) it journals "ok"; every line
// is on disk before the program goes on. A line that cannot be trusted (a
// failure) is journalled as "fail".
//
//   vostrel-crash-driver FOLDER JOURNAL SEED
//
// Prints "ready" on standard output once logged in for the first time.
#include "app/ComboBoxItems.h"
#include "app/TVostrelApplication.h"
#include "app/Unit1.h"
#include "crypto/Unit_DESCrypt.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "login/Unit_Login.h"
#include "shell/ExecutableFolder.h"
#include "shell/MessageBoxes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

class Journal {
public:
    explicit Journal(const char* path) : fd_(::open(path, O_WRONLY | O_APPEND | O_CREAT, 0600)) {}
    bool isOpen() const { return fd_ >= 0; }
    void write(const QByteArray& kind, const QByteArray& op, const QStringList& args)
    {
        QByteArray line = kind + ' ' + op;
        for (const QString& a : args)
            line += ' ' + (a.isEmpty() ? QByteArray("-") : a.toUtf8().toPercentEncoding());
        line += '\n';
        const char* p = line.constData();
        qsizetype left = line.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
            if (n <= 0)
                std::_Exit(3);
            p += n;
            left -= n;
        }
        ::fsync(fd_);
    }

private:
    int fd_;
};

// One operation at a time: what it is, and the success message that ends it.
struct Pending {
    QByteArray op;
    QStringList args;
    QString successText; // empty for the handlers that show nothing
    bool done = true;    // nothing under way
};

std::unique_ptr<Journal> journal;
Pending pending;
std::mt19937 rng;
QString runTag;
int counter = 0;

int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

QString fresh(const char* prefix) { return QString::fromUtf8(prefix) + runTag + QString::number(++counter); }

void begin(const QByteArray& op, const QStringList& args, const QString& successText)
{
    pending = {op, args, successText, false};
    journal->write("try", op, args);
}

void end(bool ok)
{
    if (!pending.done)
        journal->write(ok ? "ok" : "fail", pending.op, pending.args);
    pending.done = true;
}

QStringList formFields(TForm1& f)
{
    return {f.Edit_FenLei->currentText(), f.Edit_XingMing->text(),       f.Edit_IDNumber->text(),
            f.Edit_ShouJi->text(),        f.Edit_DianHua->text(),        f.Edit_LaiYou->text(),
            f.Edit_DiZhi->text(),         f.Edit_LaiFangShiJian->text(), f.Edit_LiKaiShiJian->text(),
            f.Memo_BeiZhu->toPlainText()};
}

void fillForm(TForm1& f, const QString& tag)
{
    const QStringList cats = ItemsOf(f.Edit_FenLei);
    f.Edit_FenLei->setEditText(cats.isEmpty() ? QStringLiteral("其他") : cats[pick(int(cats.size()))]);
    f.Edit_XingMing->setText(QStringLiteral("访客") + QString::number(pick(100000)));
    f.Edit_IDNumber->setText(tag);
    f.Edit_ShouJi->setText(pick(2) ? QString::number(13800000000LL + pick(1000000)) : QString());
    f.Edit_DianHua->setText(QString());
    f.Edit_LaiYou->setText(QStringLiteral("送货 ") + QString::number(pick(1000)));
    f.Edit_DiZhi->setText(pick(2) ? QStringLiteral("北京市 %1 号").arg(pick(500)) : QString());
    f.Edit_LaiFangShiJian->setText(f.ClockText());
    f.Edit_LiKaiShiJian->setText(QString());
    f.Memo_BeiZhu->setPlainText(pick(3) ? QString() : QStringLiteral("第一行\n第二行 %1").arg(pick(99)));
}

// Lists all records and makes a random one current, loaded into the form.
bool loadRandomRecord(TForm1& f)
{
    f.Button_RefreshClick();
    const int n = f.ADOQuery1->RecordCount();
    if (n == 0)
        return false;
    f.ADOQuery1->SetRecNo(1 + pick(n));
    f.DBGrid1CellClick();
    return true;
}

void addRecord(TForm1& f)
{
    f.Button_RefreshClick();
    fillForm(f, fresh("T"));
    begin("add", formFields(f), QStringLiteral("添加成功."));
    f.Button1Click();
}

void modifyRecord(TForm1& f)
{
    if (!loadRandomRecord(f))
        return;
    const QString tag = f.Edit_IDNumber->text();
    fillForm(f, tag);
    begin("modify", formFields(f), QStringLiteral("修改成功."));
    f.Button2Click();
}

void deleteRecord(TForm1& f)
{
    if (!loadRandomRecord(f))
        return;
    const int before = f.ADOQuery1->RecordCount();
    begin("delete", {f.Edit_IDNumber->text()}, QString());
    f.Button3Click(); // swallows its own errors
    end(f.ADOQuery1->RecordCount() == before - 1);
}

void clearAll(TForm1& f)
{
    begin("clear-all", {}, QString());
    f.Button9Click();
    end(f.ADOQuery1->RecordCount() == 0);
}

void compact(TForm1& f)
{
    begin("compact", {}, QStringLiteral("数据库压缩完成."));
    f.Button11Click();
}

// Ends the session: the window closes after a successful change.
void changePassword(TForm1& f)
{
    QString password;
    const int length = 4 + pick(9);
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz0123456789";
    for (int i = 0; i < length; ++i)
        password += QLatin1Char(alphabet[pick(int(sizeof alphabet) - 1)]);
    if (password == AdminPassword)
        return;
    f.Edit_Pass_A->setText(password);
    f.Edit_Pass_B->setText(password);
    const QString hex = QString::fromStdString(EncryptToHex(password.toStdString(), kPasswordCipherKey));
    begin("password", {hex}, QStringLiteral("密码设置成功,请重新登录."));
    f.Button7Click();
}

void addCategory(TForm1& f)
{
    const QString name = fresh("类");
    f.Edit_FenLei->setEditText(name);
    begin("category+", ItemsOf(f.Edit_FenLei) << name, QStringLiteral("新分类添加成功."));
    f.Button_Edit_FenLei_addClick();
}

void removeCategory(TForm1& f)
{
    QStringList items = ItemsOf(f.Edit_FenLei);
    if (items.isEmpty())
        return;
    const int i = pick(int(items.size()));
    f.Edit_FenLei->setCurrentIndex(-1);
    f.Edit_FenLei->setCurrentIndex(i);
    items.removeAt(i);
    begin("category-", items, QString());
    f.Button_Edit_FenLei_DelClick();
    end(ItemsOf(f.Edit_FenLei) == items);
}

// Builds the windows, logs in, and works until the password is changed.
void session(bool& announced)
{
    auto form1 = std::make_unique<TForm1>();
    auto form2 = std::make_unique<TForm2>(form1.get());
    form1->LoginForm = form2.get();
    form1->Timer_CheckLogin->stop();
    form1->Button_CheckLoginClick();
    form2->Edit_LoginPass->setText(AdminPassword);
    form2->Button_LoginingClick();
    if (form2->Edit_LoginPass_Temp->text().isEmpty()) {
        std::fprintf(stderr, "login failed\n");
        std::_Exit(4);
    }
    if (!announced) {
        std::printf("ready\n");
        std::fflush(stdout);
        announced = true;
    }
    for (;;) {
        QCoreApplication::processEvents();
        TForm1& f = *form1;
        f.Button_RefreshClick();
        const int records = f.ADOQuery1->RecordCount();
        const int categories = int(f.Edit_FenLei->count());
        const int roll = pick(100);
        bool passwordChanged = false;
        try {
            if (roll < 34)
                records > 25 ? deleteRecord(f) : addRecord(f);
            else if (roll < 54)
                modifyRecord(f);
            else if (roll < 66)
                deleteRecord(f);
            else if (roll < 68)
                clearAll(f);
            else if (roll < 76)
                compact(f);
            else if (roll < 80) {
                changePassword(f);
                passwordChanged = pending.done && pending.op == "password";
            } else if (roll < 90)
                categories > 14 ? removeCategory(f) : addCategory(f);
            else
                removeCategory(f);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "handler failed: %s\n", e.what());
        }
        end(false); // a handler that ended without its success
        if (passwordChanged)
            return;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FOLDER JOURNAL SEED\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TVostrelApplication app(argc, argv);
    journal = std::make_unique<Journal>(argv[2]);
    if (!journal->isOpen())
        return 2;
    const unsigned seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    rng.seed(seed);
    runTag = QString::number(seed) + QLatin1Char('-');
    QString folder = QString::fromLocal8Bit(argv[1]);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    SetExecutableFolderForTesting(folder);
    MessageBoxes::SetScript([](const MessageBoxes::Request& r) {
        if (r.kind == MessageBoxes::Kind::WarningYesNo)
            return true;
        if (!pending.done && !pending.successText.isEmpty()) {
            if (r.text == pending.successText)
                end(true);
            else
                end(false);
        }
        return false;
    });
    bool announced = false;
    for (;;)
        session(announced);
}
