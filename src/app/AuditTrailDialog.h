#pragma once
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;
class TAuditTrailModel;
class TRegisterConnection;

// The "操作日志" window: the audit trail newest first, filtered by event and
// by days, exported to .csv, and its chain checked by "校验".
class TAuditTrailDialog : public QDialog {
public:
    TAuditTrailDialog(QWidget* parent, TRegisterConnection* connection);

    // Shows the window until it is closed.
    static void Show(QWidget* parent, TRegisterConnection* connection);

    QComboBox* ComboBox_Event;
    QCheckBox* CheckBox_Date;
    QDateEdit* DateEdit_From;
    QDateEdit* DateEdit_To;
    QTableView* Grid_Trail;
    QLabel* Label_Result;
    QPushButton* Button_Export;
    QPushButton* Button_Verify;
    QPushButton* Button_Close;
    TAuditTrailModel* TrailModel;

    void FilterChange();
    void Button_VerifyClick();
    void Button_ExportClick();
    // Writes the rows of the filter shown to fileName as CSV.
    void ExportToFile(const QString& fileName);

private:
    TRegisterConnection* connection_;
};
