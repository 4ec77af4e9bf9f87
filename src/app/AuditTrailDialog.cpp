#include "app/AuditTrailDialog.h"
#include "app/DateEdits.h"
#include "app/FeatureTexts.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrailModel.h"
#include "db/RegisterConnection.h"
#include "records/RecordExport.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& caption, QWidget* parent, const char* name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TAuditTrailDialog::TAuditTrailDialog(QWidget* parent, TRegisterConnection* connection)
    : QDialog(parent), connection_(connection)
{
    setObjectName(QStringLiteral("AuditTrailDialog"));
    setWindowTitle(FeatureTexts::AuditTrailTitle());
    auto* layout = new QVBoxLayout(this);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(FeatureTexts::AuditEventLabel(), this));
    ComboBox_Event = new QComboBox(this);
    ComboBox_Event->setObjectName(QStringLiteral("ComboBox_Event"));
    ComboBox_Event->addItem(FeatureTexts::AuditAllEvents());
    ComboBox_Event->addItems(AuditEvent::All());
    filters->addWidget(ComboBox_Event);
    filters->addSpacing(12);
    CheckBox_Date = new QCheckBox(FeatureTexts::AuditDateLabel(), this);
    CheckBox_Date->setObjectName(QStringLiteral("CheckBox_Date"));
    filters->addWidget(CheckBox_Date);
    DateEdit_From = NewDateEdit(QDate::currentDate(), this, "DateEdit_From");
    filters->addWidget(DateEdit_From);
    filters->addWidget(new QLabel(FeatureTexts::AuditDateTo(), this));
    DateEdit_To = NewDateEdit(QDate::currentDate(), this, "DateEdit_To");
    filters->addWidget(DateEdit_To);
    filters->addStretch();
    layout->addLayout(filters);

    Grid_Trail = new QTableView(this);
    Grid_Trail->setObjectName(QStringLiteral("Grid_Trail"));
    Grid_Trail->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_Trail->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_Trail->verticalHeader()->hide();
    Grid_Trail->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    TrailModel = new TAuditTrailModel(connection_, FeatureTexts::AuditColumns(), this);
    Grid_Trail->setModel(TrailModel);
    const int widths[] = {70, 140, 80, 80};
    for (int i = 0; i < 4; ++i)
        Grid_Trail->setColumnWidth(i, widths[i]);
    Grid_Trail->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(Grid_Trail);

    auto* actions = new QHBoxLayout;
    Label_Result = new QLabel(this);
    Label_Result->setObjectName(QStringLiteral("Label_Result"));
    actions->addWidget(Label_Result, 1);
    Button_Export = button(FeatureTexts::AuditExport(), this, "Button_Export");
    Button_Verify = button(FeatureTexts::AuditVerify(), this, "Button_Verify");
    Button_Close = button(FeatureTexts::AuditClose(), this, "Button_Close");
    actions->addWidget(Button_Export);
    actions->addWidget(Button_Verify);
    actions->addWidget(Button_Close);
    layout->addLayout(actions);
    resize(720, 480);

    BindClick(Button_Verify, [this] { Button_VerifyClick(); });
    BindClick(Button_Export, [this] { Button_ExportClick(); });
    connect(Button_Close, &QPushButton::clicked, this, &QDialog::accept);
    const auto filterChange = [this] { RunGuarded([this] { FilterChange(); }); };
    connect(ComboBox_Event, &QComboBox::currentIndexChanged, this, filterChange);
    connect(CheckBox_Date, &QCheckBox::toggled, this, filterChange);
    connect(DateEdit_From, &QDateEdit::dateChanged, this, filterChange);
    connect(DateEdit_To, &QDateEdit::dateChanged, this, filterChange);
    FilterChange();
}

void TAuditTrailDialog::Show(QWidget* parent, TRegisterConnection* connection)
{
    TAuditTrailDialog dialog(parent, connection);
    dialog.exec();
}

void TAuditTrailDialog::FilterChange()
{
    const bool byDate = CheckBox_Date->isChecked();
    DateEdit_From->setEnabled(byDate);
    DateEdit_To->setEnabled(byDate);
    TAuditFilter filter;
    if (ComboBox_Event->currentIndex() > 0)
        filter.event = ComboBox_Event->currentText();
    if (byDate) {
        filter.from = DateEdit_From->date();
        filter.to = DateEdit_To->date();
    }
    TrailModel->SetFilter(filter);
}

void TAuditTrailDialog::Button_VerifyClick()
{
    TAuditVerification check;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        check = VerifyAuditTrail(connection_->handle());
    }
    const QString result =
        check.intact ? FeatureTexts::AuditIntact(check.rows) : FeatureTexts::AuditBroken(check.lastIntact);
    Label_Result->setText(check.intact && check.rows > 0 ? result + FeatureTexts::AuditLastHash(check.lastHash)
                                                         : result);
    Label_Result->setToolTip(check.lastHash);
    MessageBoxes::ShowMessage(result);
}

void TAuditTrailDialog::Button_ExportClick()
{
    const QString suggested =
        QDir::home().filePath(FeatureTexts::AuditFileStem() + QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))
                              + QStringLiteral(".csv"));
    QString fileName =
        QFileDialog::getSaveFileName(this, FeatureTexts::AuditTrailTitle(), suggested, FeatureTexts::AuditCsvType());
    if (fileName.isEmpty())
        return;
    ExportToFile(ExportFileName(fileName, ExportFormat::Csv));
}

void TAuditTrailDialog::ExportToFile(const QString& fileName)
{
    qint64 count = 0;
    const TAuditFilter filter = TrailModel->Filter();
    sqlite3* db = connection_->handle();
    const ExportRows rows{
        FeatureTexts::AuditColumns(), [&](const ExportRowVisitor& visit) {
            ForEachAuditRow(db, filter, [&](const TAuditRow& row) {
                ++count;
                return visit({QString::number(row.seq), row.at, row.entry.event, row.entry.subject, row.entry.detail});
            });
        }};
    QString message;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        ::ExportToFile(fileName, ExportFormat::Csv, rows, {});
        message = FeatureTexts::ExportDone(count);
    } catch (const std::exception& e) {
        message = FeatureTexts::ExportFailed(QString::fromUtf8(e.what()));
    }
    QApplication::restoreOverrideCursor();
    MessageBoxes::ShowMessage(message);
}
