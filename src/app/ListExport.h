#pragma once
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QWidget;
class TRegisterQuery;
enum class ExportFormat;

// The export of the list now shown to a spreadsheet or CSV file: the file
// dialog, the progress of a long export, and a close of the window that
// waits until an export running has stopped. The window owns it.
class TListExport : public QObject {
public:
    // The list of query, masked while hideNumbers is checked; window is the
    // parent of the dialogs and is closed again after a close it deferred.
    TListExport(QWidget* window, TRegisterQuery* query, const QAction* hideNumbers);

    // Asks for a file and writes the list to it; does nothing while the
    // list is closed or an export runs.
    void AskAndExport();
    // Writes the list now shown to fileName, as the export does after its
    // dialog; without a format, the name's extension decides.
    void ExportRowsToFile(const QString& fileName);
    void ExportRowsToFile(const QString& fileName, ExportFormat format);
    // While an export walks the list, a close cancels it and waits for it to
    // stop before the connection goes: true when the close is to wait.
    bool DeferClose();

    // Told of every export written whole: the file, its rows and whether
    // the numbers were hidden.
    std::function<void(const QString& fileName, qint64 rows, bool masked)> Exported;

private:
    QString askFileName(ExportFormat& format);

    QWidget* window_;
    TRegisterQuery* query_;
    const QAction* hideNumbers_;
    bool exporting_ = false;
    bool closeAfterExport_ = false;
};
