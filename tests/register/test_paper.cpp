// Paper and the pass on the real window: the roll call and the pass printed
// to PDF and read back with poppler and zbar, and the pass scanned at the
// exit against typing in an edit.
#include "RegisterFixture.h"
#include "app/PaperPrints.h"
#include "app/PassScanner.h"
#include "app/PassText.h"
#include "app/SiteName.h"

#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QWindow>

namespace {

// 分类, 姓名, 身份证, 手机, 电话, 来由, 地址, 来访, 离开, 备注, 日期.
QStringList visit(const QString& name, const QString& departure, const QString& mobile = QStringLiteral("13800138000"))
{
    return {QStringLiteral("QQ帐号"),
            name,
            QString(),
            mobile,
            QString(),
            QStringLiteral("送货"),
            QString(),
            QStringLiteral("2026/12/7 08:00:00"),
            departure,
            QString(),
            QStringLiteral("2026/12/7 08:00:01")};
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class Paper : public RegisterFixture {
protected:
    // Record 1 张三 has left; 2 李四 and 3 王五 are on site.
    void loginWithVisits()
    {
        login({visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 09:00:00")),
               visit(QStringLiteral("李四"), QString(), QStringLiteral("13912345678")),
               visit(QStringLiteral("王五"), QString())});
    }

    QString pdf(const char* name) const { return dir.file(QString::fromLatin1(name)); }

    // Types keys into the main window as a keyboard does, `gap` ms apart,
    // then Enter unless told not to.
    void typeIntoWindow(const QString& text, int gap, bool enter = true)
    {
        QWindow* window = form1->windowHandle();
        for (QChar c : text) {
            // Upper case and ':' come with Shift pressed and released around them.
            const bool shifted = c.isUpper() || c == u':';
            QTest::keyClick(window, c.toLatin1(), shifted ? Qt::ShiftModifier : Qt::NoModifier);
            if (gap > 0)
                QTest::qWait(gap);
        }
        if (enter)
            QTest::keyClick(window, Qt::Key_Return);
        pump(TPassScanner::kKeyGap * 2);
    }
};

TEST_F(Paper, TheRollCallListsWhoIsOnSiteWithItsCountInEmbeddedFonts)
{
    loginWithVisits();
    const QList<RollCallEntry> onSite = form1->PaperPrints->OnSiteEntries();
    {
        QPdfWriter writer(pdf("roll.pdf"));
        writer.setPageLayout(RollCallPageLayout());
        ASSERT_TRUE(PaintRollCall(writer, onSite, QString::fromUtf8(kClock), QStringLiteral("东门岗")));
    }
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf("roll.pdf"), QStringLiteral("-")});
    for (const char* expected : {"东门岗", "未离开访客名单", "李四", "王五", "13912345678", "2026/12/7 08:00:00",
                                 "未离开共2人", "核对", "第1页,共1页"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("张三")));
    EXPECT_TRUE(text.contains(QString::fromUtf8(kClock)));
    // Every font is in the file, so any printer prints the Chinese.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {pdf("roll.pdf")}).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(fonts.size(), 2);
    for (const QString& font : fonts.mid(2))
        EXPECT_TRUE(font.contains(QStringLiteral(" yes "))) << font.toStdString();

    // A long list goes on over pages, each with the table's head, nobody left out.
    QList<RollCallEntry> many;
    for (int i = 1; i <= 70; ++i)
        many.append({QStringLiteral("访客%1号").arg(i), QStringLiteral("QQ帐号"), QString(), QString(), QString()});
    {
        QPdfWriter writer(pdf("long.pdf"));
        writer.setPageLayout(RollCallPageLayout());
        ASSERT_TRUE(PaintRollCall(writer, many, QString::fromUtf8(kClock), QString()));
    }
    const QString pages = run(QStringLiteral("pdftotext"), {pdf("long.pdf"), QStringLiteral("-")});
    EXPECT_TRUE(pages.contains(QStringLiteral("未离开共70人")));
    EXPECT_TRUE(pages.contains(QStringLiteral("第3页,共3页"))) << pages.toStdString();
    EXPECT_EQ(pages.count(QStringLiteral("核对")), 3);
    for (int i = 1; i <= 70; ++i)
        EXPECT_TRUE(pages.contains(QStringLiteral("访客%1号\n").arg(i))
                    || pages.contains(QStringLiteral("访客%1号 ").arg(i)))
            << i;
}

TEST_F(Paper, ThePassCarriesTheVisitAndACodeThatReadsBackAsThePassText)
{
    VisitorPass pass{1234,
                     QStringLiteral("李四"),
                     QStringLiteral("QQ帐号"),
                     QStringLiteral("送货"),
                     QStringLiteral("2026/12/7 08:00:00"),
                     QStringLiteral("东门岗"),
                     QString()};
    // A6, and an 80 mm receipt chosen in the dialog instead.
    const QPageLayout receipt(QPageSize(QSizeF(80, 160), QPageSize::Millimeter), QPageLayout::Portrait,
                              QMarginsF(3, 3, 3, 3), QPageLayout::Millimeter);
    for (const QPageLayout& layout : {VisitorPassPageLayout(), receipt}) {
        {
            QPdfWriter writer(pdf("pass.pdf"));
            writer.setPageLayout(layout);
            ASSERT_TRUE(PaintVisitorPass(writer, pass));
        }
        const QString text = run(QStringLiteral("pdftotext"), {pdf("pass.pdf"), QStringLiteral("-")});
        for (const char* expected : {"东门岗", "访客单", "李四", "QQ帐号", "送货", "2026/12/7 08:00:00", "VST1:1234"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
        run(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
             pdf("pass.pdf"), dir.file(QStringLiteral("pass"))});
        const QString code = run(QStringLiteral("zbarimg"),
                                 {QStringLiteral("--raw"), QStringLiteral("-q"), dir.file(QStringLiteral("pass.png"))});
        EXPECT_EQ(code.trimmed(), QStringLiteral("VST1:1234")) << layout.pageSize().name().toStdString();
    }
}

TEST_F(Paper, TheSiteNameIsTheFirstLineOfItsFile)
{
    EXPECT_EQ(ReadSiteName(dir.path()), QString()); // no file
    QFile file(dir.file(QString::fromLatin1(kSiteNameFile)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF  \xE4\xB8\x9C\xE9\x97\xA8\xE5\xB2\x97 \r\nsecond line\n");
    file.close();
    EXPECT_EQ(ReadSiteName(dir.path()), QStringLiteral("东门岗"));
}

TEST_F(Paper, OnlyAWholePassTextIsAPass)
{
    EXPECT_EQ(PassText::ForRecord(42), QStringLiteral("VST1:42"));
    EXPECT_EQ(PassText::RecordNumber(u"VST1:42"), 42);
    for (QStringView notAPass :
         {u"VST1:", u"VST1:0", u"vst1:42", u"VST1:4x", u"VST2:42", u"XVST1:42", u"VST1:1234567890123456789"})
        EXPECT_FALSE(PassText::RecordNumber(notAPass).has_value()) << notAPass.toString().toStdString();
    EXPECT_TRUE(PassText::MayBegin(u"VS"));
    EXPECT_FALSE(PassText::MayBegin(u"VSX"));

    // A gate of a site adds the record's site id, which names it at any gate.
    const QString sitePass = PassText::ForSiteRecord(42, QStringLiteral("0b1c-9f"));
    EXPECT_EQ(sitePass, QStringLiteral("VST1:42:0b1c-9f"));
    EXPECT_EQ(PassText::RecordNumber(sitePass), 42);
    EXPECT_EQ(PassText::SiteId(sitePass), QStringLiteral("0b1c-9f"));
    EXPECT_EQ(PassText::SiteId(u"VST1:42"), QString());
    for (QStringView notAPass : {u"VST1:42:", u"VST1::0b1c", u"VST1:42:0b/1c", u"VST1:42:0b:1c"})
        EXPECT_FALSE(PassText::RecordNumber(notAPass).has_value()) << notAPass.toString().toStdString();
}

TEST_F(Paper, AScannedPassRecordsTheDepartureAndTypingStaysTyping)
{
    loginWithVisits();
    const QList<QStringList> before = stored();
    form1->Memo_BeiZhu->setFocus();

    // Typed slowly, the same keys are text in 备注, and nobody leaves.
    typeIntoWindow(QStringLiteral("VST1:2"), TPassScanner::kKeyGap * 2);
    EXPECT_EQ(form1->Memo_BeiZhu->toPlainText(), QStringLiteral("VST1:2\n"));
    EXPECT_EQ(stored(), before);

    // A start typed fast that stops matching reaches the edit whole, in order.
    form1->Memo_BeiZhu->clear();
    form1->Edit_XingMing->setFocus();
    typeIntoWindow(QStringLiteral("VST1:7a"), 0, false);
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("VST1:7a"));

    // At scanner speed the pass records the departure, nothing reaches 备注.
    form1->Memo_BeiZhu->setFocus();
    typeIntoWindow(QStringLiteral("VST1:2"), 0);
    EXPECT_EQ(form1->Memo_BeiZhu->toPlainText(), QString());
    EXPECT_EQ(panel(0), QStringLiteral("李四已登记离开"));
    const QList<QStringList> after = stored();
    EXPECT_EQ(after[1][9], QString::fromUtf8(kClock));
    EXPECT_EQ(after[2], before[2]);

    // A pass already used, and one of no record: panel 0 says so, no box.
    typeIntoWindow(QStringLiteral("VST1:1"), 0);
    EXPECT_EQ(panel(0), QStringLiteral("张三已于2026/12/7 09:00:00离开,无需再次登记"));
    typeIntoWindow(QStringLiteral("VST1:99"), 0);
    EXPECT_EQ(panel(0), QStringLiteral("访客单VST1:99没有对应的登记记录"));
    // A pass of a site's gate is not this desk's record 3, though it bears that number.
    typeIntoWindow(QStringLiteral("VST1:3:7e57-1d"), 0);
    EXPECT_EQ(panel(0), QStringLiteral("访客单VST1:3:7e57-1d没有对应的登记记录"));
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(stored(), after);
    EXPECT_EQ(form1->Memo_BeiZhu->toPlainText(), QString());
}
