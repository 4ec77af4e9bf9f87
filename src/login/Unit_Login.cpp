#include "Unit_Login.h"
#include "ProgramIcon.h"
#include "Unit1.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

TForm2::TForm2(TForm1* mainForm, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      mainForm_(mainForm)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowIcon(ProgramIcon());
    buildLayout();
}

void TForm2::buildLayout()
{
    setWindowTitle(QStringLiteral("管理登录"));
    setFixedSize(294, 161);
    QFont songti(QStringLiteral("宋体"));
    songti.setPixelSize(13);
    setFont(songti);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(0, 0, 294, 161 - 20);
    Label1 = new QLabel(QStringLiteral("请输入管理密码："), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(24, 24, 200, 16);
    Edit_LoginPass = new QLineEdit(GroupBox1);
    Edit_LoginPass->setObjectName(QStringLiteral("Edit_LoginPass"));
    Edit_LoginPass->setGeometry(24, 48, 246, 22);
    Edit_LoginPass->setEchoMode(QLineEdit::Password);
    Button_Logining = new QPushButton(QStringLiteral("进入"), GroupBox1);
    Button_Logining->setObjectName(QStringLiteral("Button_Logining"));
    Button_Logining->setGeometry(64, 90, 75, 27);
    Button_Logining->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("退出"), GroupBox1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(156, 90, 75, 27);
    Button2->setAutoDefault(false);
    Edit_Error = new QLineEdit(QStringLiteral("0"), GroupBox1);
    Edit_Error->setObjectName(QStringLiteral("Edit_Error"));
    Edit_Error->hide();
    Edit_LoginPass_Temp = new QLineEdit(GroupBox1);
    Edit_LoginPass_Temp->setObjectName(QStringLiteral("Edit_LoginPass_Temp"));
    Edit_LoginPass_Temp->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, 161 - 20, 294, 20);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setMinimumWidth(50);
    StatusBar1->addWidget(StatusPanel0, 1);
}
