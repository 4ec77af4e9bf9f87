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

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* Edit_LoginPass;
    QPushButton* Button_Logining;
    QPushButton* Button2;
    QLineEdit* Edit_Error;          // wrong attempts since start, as text
    QLineEdit* Edit_LoginPass_Temp; // the login marker: non-empty while logged in
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;

private:
    void buildLayout();
    TForm1* mainForm_;
};
