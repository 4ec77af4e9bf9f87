// The main window's controls and their places. The window has a fixed client
// area of 716 x 687; the bands are stacked from the top and the controls of
// each band are placed at fixed positions.
#include "app/ComboBoxItems.h"
#include "app/DBGridModel.h"
#include "app/SiteAddresses.h"
#include "app/Unit1.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

template <typename W>
W* place(W* widget, int x, int y, int w, int h)
{
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 80, int h = 16)
{
    auto* l = place(new QLabel(text, parent), x, y, w, h);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h = 25)
{
    auto* b = place(new QPushButton(text, parent), x, y, w, h);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, int h = 21)
{
    auto* e = place(new QLineEdit(parent), x, y, w, h);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items, int x, int y, int w, int h = 21)
{
    auto* c = place(new QComboBox(parent), x, y, w, h);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    FitRowsToFont(c);
    return c;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title)
{
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

void colour(QLabel* l, const QColor& c)
{
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
}

QLabel* link(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    QLabel* l = label(parent, name, text, x, y, w);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

constexpr int kClientWidth = 716;
constexpr int kClientHeight = 687;
const QColor kOlive(128, 128, 0);
const QColor kFieldLabel(0, 0, 255);

} // namespace

void TForm1::buildLayout()
{
    setFixedSize(kClientWidth, kClientHeight);
    QFont songti(QStringLiteral("宋体"));
    songti.setPixelSize(13);
    setFont(songti);
    setWindowTitle(QStringLiteral("Vostrel"));

    // 1. Title band
    GroupBox7 = place(group(this, "GroupBox7", QString()), 0, 0, kClientWidth, 97);
    Label20 = label(GroupBox7, "Label20", QStringLiteral("Vostrel"), 18, 12, 400, 62);
    QFont title(songti);
    title.setPixelSize(56);
    Label20->setFont(title);
    colour(Label20, kOlive);
    Label23 = label(GroupBox7, "Label23", QStringLiteral("Vostrel 访客登记  www.vostrel.example"), 22, 74, 420, 16);
    colour(Label23, kOlive);

    // 2. Tabs
    PageControl1 = place(new QTabWidget(this), 0, 97, kClientWidth, kClientHeight - 97 - 46 - 23);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("登记管理"));
    PageControl1->addTab(TabSheet2, QStringLiteral("软件设置"));
    PageControl1->addTab(TabSheet3, QStringLiteral("关于我们"));
    PageControl1->setCurrentIndex(0);

    // 2a. Registration: search bar, list, record form
    auto* sheet1Layout = new QVBoxLayout(TabSheet1);
    sheet1Layout->setContentsMargins(2, 2, 2, 2);
    GroupBox1 = group(TabSheet1, "GroupBox1", QString());
    sheet1Layout->addWidget(GroupBox1);
    auto* group1Layout = new QVBoxLayout(GroupBox1);
    group1Layout->setContentsMargins(2, 2, 2, 2);
    group1Layout->setSpacing(0);

    Panel2 = new QFrame(GroupBox1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(51);
    group1Layout->addWidget(Panel2);
    ComboBoxSeachClass =
        combo(Panel2, "ComboBoxSeachClass",
              {QStringLiteral("姓名"), QStringLiteral("身份证"), QStringLiteral("手机"), QStringLiteral("电话"),
               QStringLiteral("地址"), QStringLiteral("来由"), QStringLiteral("备注")},
              8, 15, 76);
    ComboBoxSeachClass->setEditText(QStringLiteral("姓名"));
    searchkeyword = edit(Panel2, "searchkeyword", 90, 15, 150);
    searchkeyword->setText(QStringLiteral("请输入搜索关键词"));
    Button_Search = button(Panel2, "Button_Search", QStringLiteral("搜索"), 246, 13, 52);
    Label16 = label(Panel2, "Label16", QStringLiteral("按分类查看"), 310, 18, 70);
    ComboBoxClass = combo(Panel2, "ComboBoxClass", {}, 380, 15, 110);
    Button_First = button(Panel2, "Button_First", QStringLiteral("<|"), 500, 13, 34);
    Button_Prior = button(Panel2, "Button_Prior", QStringLiteral("<"), 536, 13, 34);
    Button_Next = button(Panel2, "Button_Next", QStringLiteral(">"), 572, 13, 34);
    Button_Last = button(Panel2, "Button_Last", QStringLiteral("|>"), 608, 13, 34);
    Button_Refresh = button(Panel2, "Button_Refresh", QStringLiteral("刷"), 650, 13, 40);

    DBGrid1 = new QTableView(GroupBox1);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    group1Layout->addWidget(DBGrid1, 1);

    GroupBox4 = group(GroupBox1, "GroupBox4", QString());
    GroupBox4->setFixedHeight(234);
    group1Layout->addWidget(GroupBox4);
    struct Row {
        QLabel** label;
        const char* labelName;
        const char* caption;
    };
    const Row rows[] = {
        {&Label1, "Label1", "分类"},   {&Label2, "Label2", "姓名"},       {&Label3, "Label3", "身份证"},
        {&Label4, "Label4", "手机"},   {&Label5, "Label5", "电话"},       {&Label6, "Label6", "地址"},
        {&Label19, "Label19", "来由"}, {&Label22, "Label22", "到访时间"}, {&Label24, "Label24", "离开时间"},
    };
    constexpr int kRowTop = 14;
    constexpr int kRowStep = 24;
    constexpr int kFieldX = 72;
    constexpr int kFieldW = 170;
    for (int i = 0; i < 9; ++i) {
        *rows[i].label =
            label(GroupBox4, rows[i].labelName, QString::fromUtf8(rows[i].caption), 10, kRowTop + 3 + i * kRowStep, 60);
        colour(*rows[i].label, kFieldLabel);
    }
    auto rowY = [](int i) { return kRowTop + i * kRowStep; };
    Edit_FenLei = combo(GroupBox4, "Edit_FenLei",
                        {QStringLiteral("网站帐号"), QStringLiteral("论坛帐号"), QStringLiteral("邮箱帐号"),
                         QStringLiteral("QQ帐号"), QStringLiteral("银行帐号"), QStringLiteral("游戏帐号")},
                        kFieldX, rowY(0), kFieldW);
    Edit_FenLei->setEditText(QString());
    Button_Edit_FenLei_add = button(GroupBox4, "Button_Edit_FenLei_add", QStringLiteral("+"), 246, rowY(0) - 1, 22, 23);
    Button_Edit_FenLei_Del = button(GroupBox4, "Button_Edit_FenLei_Del", QStringLiteral("-"), 270, rowY(0) - 1, 22, 23);
    Edit_XingMing = edit(GroupBox4, "Edit_XingMing", kFieldX, rowY(1), kFieldW);
    Edit_IDNumber = edit(GroupBox4, "Edit_IDNumber", kFieldX, rowY(2), kFieldW);
    Button8 = button(GroupBox4, "Button8", QStringLiteral("查询"), 246, rowY(2) - 1, 46, 23);
    Edit_ShouJi = edit(GroupBox4, "Edit_ShouJi", kFieldX, rowY(3), kFieldW);
    Button10 = button(GroupBox4, "Button10", QStringLiteral("查询"), 246, rowY(3) - 1, 46, 23);
    Edit_DianHua = edit(GroupBox4, "Edit_DianHua", kFieldX, rowY(4), kFieldW);
    Edit_DiZhi = edit(GroupBox4, "Edit_DiZhi", kFieldX, rowY(5), kFieldW);
    Edit_LaiYou = edit(GroupBox4, "Edit_LaiYou", kFieldX, rowY(6), kFieldW);
    Edit_LaiFangShiJian = edit(GroupBox4, "Edit_LaiFangShiJian", kFieldX, rowY(7), kFieldW);
    Button6 = button(GroupBox4, "Button6", QStringLiteral("时间"), 246, rowY(7) - 1, 46, 23);
    Edit_LiKaiShiJian = edit(GroupBox4, "Edit_LiKaiShiJian", kFieldX, rowY(8), kFieldW);
    Button5 = button(GroupBox4, "Button5", QStringLiteral("时间"), 246, rowY(8) - 1, 46, 23);

    Label25 = label(GroupBox4, "Label25", QStringLiteral("备注"), 304, kRowTop + 3, 34);
    colour(Label25, kFieldLabel);
    Memo_BeiZhu = place(new QPlainTextEdit(GroupBox4), 340, kRowTop, 270, 208);
    Memo_BeiZhu->setObjectName(QStringLiteral("Memo_BeiZhu"));
    Memo_BeiZhu->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Bevel1 = place(new QFrame(GroupBox4), 620, 12, 2, 212);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::VLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Button1 = button(GroupBox4, "Button1", QStringLiteral("添加"), 632, 130, 62, 27);
    Button2 = button(GroupBox4, "Button2", QStringLiteral("修改"), 632, 162, 62, 27);
    Button3 = button(GroupBox4, "Button3", QStringLiteral("删除"), 632, 194, 62, 27);

    Label7 = label(GroupBox4, "Label7", QStringLiteral("编号"), 632, 16, 40);
    Label7->hide();
    Edit_BianHao = edit(GroupBox4, "Edit_BianHao", 632, 34, 60);
    Edit_BianHao->setReadOnly(true);
    Edit_BianHao->hide();
    Button_ClearAllEdit = button(GroupBox4, "Button_ClearAllEdit", QStringLiteral("清空表单"), 632, 60, 62);
    Button_ClearAllEdit->hide();

    // 2b. Settings
    constexpr int kGroupW = kClientWidth - 20;
    GroupBox3 = place(group(TabSheet2, "GroupBox3", QStringLiteral("设置密码")), 8, 8, kGroupW, 125);
    Label8 = label(GroupBox3, "Label8", QStringLiteral("请输入密码"), 20, 30, 76);
    Edit_Pass_A = edit(GroupBox3, "Edit_Pass_A", 100, 27, 170);
    Label9 = label(GroupBox3, "Label9", QStringLiteral("确认密码"), 20, 60, 76);
    Edit_Pass_B = edit(GroupBox3, "Edit_Pass_B", 100, 57, 170);
    Label17 = label(GroupBox3, "Label17", QStringLiteral("密码可以是全数字/全字母/数字+字母组合"), 20, 92, 320);
    Button7 = button(GroupBox3, "Button7", QStringLiteral("确定"), 290, 25, 70);
    Button_PassCleal = button(GroupBox3, "Button_PassCleal", QStringLiteral("重置"), 290, 55, 70);
    GroupBox6 = place(group(TabSheet2, "GroupBox6", QStringLiteral("常用操作")), 8, 141, kGroupW, 56);
    Button11 = button(GroupBox6, "Button11", QStringLiteral("压缩修复"), 20, 20, 80);
    Label21 = label(GroupBox6, "Label21", QStringLiteral("压缩数据库"), 110, 25, 120);
    GroupBox5 = place(group(TabSheet2, "GroupBox5", QStringLiteral("特殊操作")), 8, 205, kGroupW, 60);
    Button9 = button(GroupBox5, "Button9", QStringLiteral("清空数据"), 20, 22, 80);
    Label18 = label(GroupBox5, "Label18", QStringLiteral("该操作将清空数据库中所有数据,请慎用."), 110, 27, 360);
    colour(Label18, Qt::red);

    // 2c. About
    auto* sheet3Layout = new QVBoxLayout(TabSheet3);
    sheet3Layout->setContentsMargins(8, 8, 8, 8);
    GroupBox2 = group(TabSheet3, "GroupBox2", QString());
    sheet3Layout->addWidget(GroupBox2);
    Label10 = label(GroupBox2, "Label10", QStringLiteral("软件名称 Vostrel"), 20, 24, 300);
    Label11 = label(GroupBox2, "Label11", QStringLiteral("当前版本"), 20, 54, 64);
    EditVer = edit(GroupBox2, "EditVer", 90, 51, 140);
    EditVer->setText(QStringLiteral("1.01.2010.0609"));
    EditVer->setReadOnly(true);
    Label12 = link(GroupBox2, "Label12", QStringLiteral("官方网站 ") + QLatin1String(SiteAddresses::UpdateSiteAddress),
                   20, 84, 420);
    Label13 = link(GroupBox2, "Label13",
                   QStringLiteral("访客检索 ") + QLatin1String(SiteAddresses::PartnerSite1Address), 20, 110, 420);
    Label14 = label(GroupBox2, "Label14", QStringLiteral("用户交流群 Vostrel 值班交流"), 20, 136, 420);
    Label15 = label(GroupBox2, "Label15", QStringLiteral("联系邮箱 support@vostrel.example"), 20, 162, 420);
    Memo1 = place(new QPlainTextEdit(GroupBox2), 20, 192, 420, 110);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setPlainText(QStringLiteral("更新说明:\n1.修复了win7下不能正常生成快捷方式的问题\n2.修正了一个小bug"));
    Memo1->setReadOnly(true);

    // 3. Button band
    Panel1 = place(new QFrame(this), 0, kClientHeight - 23 - 46, kClientWidth, 46);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Label33 = label(Panel1, "Label33", QStringLiteral("特别推荐:"), 10, 16, 64);
    Label30 = link(Panel1, "Label30", QStringLiteral("访客检索"), 76, 16, 64);
    Label31 = link(Panel1, "Label31", QStringLiteral("号码查询"), 146, 16, 64);
    Label32 = link(Panel1, "Label32", QStringLiteral("值班助手"), 216, 16, 64);
    for (QLabel* l : {Label30, Label31, Label32})
        colour(l, QColor(255, 0, 255));
    ButtonWEB = button(Panel1, "ButtonWEB", QStringLiteral("Vostrel"), 440, 10, 80, 26);
    Button4 = button(Panel1, "Button4", QStringLiteral("退出"), 528, 10, 80, 26);
    Button_HIde = button(Panel1, "Button_HIde", QStringLiteral("最小化"), 616, 10, 90, 26);
    Button_CheckLogin = button(Panel1, "Button_CheckLogin", QStringLiteral("Button_CheckLogin"), 300, 10, 120, 26);
    Button_CheckLogin->hide();

    // 4. Status bar
    StatusBar1 = place(new QStatusBar(this), 0, kClientHeight - 23, kClientWidth, 23);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int width : {300, 50, 150}) {
        auto* panel = new QLabel(StatusBar1);
        panel->setFixedWidth(width);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(panel);
        statusPanels_ << panel;
    }
}

void TForm1::buildTrayMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [this](const char* name, const QString& caption) {
        QAction* a = caption == QLatin1String("-") ? PopupMenu1->addSeparator() : PopupMenu1->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    Aboutme = item("Aboutme", QStringLiteral("检测更新"));
    N2 = item("N2", QStringLiteral("-"));
    ShowME = item("ShowME", QStringLiteral("显示窗口"));
    HideME = item("HideME", QStringLiteral("隐藏窗口"));
    N1 = item("N1", QStringLiteral("-"));
    CloseMe = item("CloseMe", QStringLiteral("退出程序"));
}
