// The audit trail: the object that records what is done at the desk, the
// export's row, and the "操作日志" window.
#include "app/AuditTrailDialog.h"
#include "app/FeatureTexts.h"
#include "app/ListExport.h"
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "shell/HandlerWiring.h"
#include "watchlist/WatchList.h"

#include <QAction>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A file name is typed by the guard and could hold a visitor's number; the
// trail keeps no identity or mobile numbers, so runs of digits that could be
// one are starred. Date stamps (8 or 14 digits) stay.
QString withoutVisitorNumbers(QString name)
{
    static const QRegularExpression number(
        QStringLiteral("(?<![0-9])(1[0-9]{10}|[0-9]{15}|[0-9]{17}[0-9Xx])(?![0-9])"));
    QRegularExpressionMatch match;
    while ((match = number.match(name)).hasMatch())
        name.replace(match.capturedStart(), match.capturedLength(), QString(match.capturedLength(), QLatin1Char('*')));
    return name;
}

} // namespace

void TForm1::connectAuditTrail()
{
    AuditTrail = new TAuditTrail(ADOConnection1, this);
    BindClick(AuditTrailItem, [this] { AuditTrailItemClick(); });
    ListExport->Exported = [this](const QString& fileName, qint64 rows, bool masked) {
        AuditTrail->RecordEvent(
            {AuditEvent::ListExported(), QString::number(rows),
             FeatureTexts::AuditExported(withoutVisitorNumbers(QFileInfo(fileName).fileName()), rows, masked)});
    };
    connect(WatchList, &TWatchList::Changed, this,
            [this](const QString& detail) { AuditTrail->RecordEvent(AuditEvent::WatchListChanged(), detail); });
    connect(WatchList, &TWatchList::Imported, this, [this](int added, int skipped) {
        AuditTrail->RecordEvent(
            {AuditEvent::WatchListImported(), QString::number(added), FeatureTexts::WatchListImported(added, skipped)});
    });
    const auto hit = [this](const QString& event) {
        return [this, event](const QString& name, const QString& reason) {
            AuditTrail->RecordEvent(event,
                                    FeatureTexts::Elided(name) + QStringLiteral(",") + FeatureTexts::Elided(reason));
        };
    };
    connect(WatchList, &TWatchList::HitTurnedAway, this, hit(AuditEvent::WatchListTurnedAway()));
    connect(WatchList, &TWatchList::HitLetIn, this, hit(AuditEvent::WatchListLetIn()));
}

void TForm1::AuditTrailItemClick() { TAuditTrailDialog::Show(this, ADOConnection1); }
