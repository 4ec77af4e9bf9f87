#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

class QKeyEvent;
class QWidget;
class QWindow;

// Recognises a visitor pass typed by a keyboard-wedge scanner into a
// window: the pass text, key after key within a short time, then Enter.
// Keys that could begin a pass text are held back; as soon as they stop
// matching, or the next key is late, they go on to the window as typed,
// so a person typing into an edit never loses a key.
class TPassScanner : public QObject {
    Q_OBJECT
public:
    // The longest pause between two keys of a scanned pass, in ms.
    static constexpr int kKeyGap = 80;

    TPassScanner(QWidget* window, QObject* parent);
    ~TPassScanner() override;

signals:
    // A whole pass text arrived; its keys went nowhere else.
    void PassScanned(qint64 recordNumber, const QString& passText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(QWindow* target, const QKeyEvent& key);
    bool mayContinue(const QKeyEvent& key) const;
    void release();

    QWidget* window_;
    QPointer<QWindow> target_;
    QString typed_;
    QList<std::shared_ptr<QKeyEvent>> held_;
    QTimer late_;
    bool releasing_ = false;
};
