#pragma once
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class TForm1;

// The administrator login window.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(TForm1* mainForm, QWidget* parent = nullptr);
    ~TForm2() override;

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* Edit_LoginPass;
    QPushButton* Button_Logining;
    QPushButton* Button2;
    QLineEdit* Edit_Error;          // wrong attempts since start, as text
    QLineEdit* Edit_LoginPass_Temp; // the login marker: non-empty while logged in
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;

    void Button_LoginingClick();
    void Button2Click();
    void Edit_ErrorChange();
    void Edit_LoginPassClick();
    void Edit_LoginPassChange();

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectHandlers();
    TForm1* mainForm_;
    bool loginingIsDefault_ = false; // "进入" is the default button: Enter in the password box clicks it
    bool placed_ = false;
};
