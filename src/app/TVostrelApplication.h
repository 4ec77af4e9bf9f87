#pragma once
#include <QApplication>

// The application object: its title captions the plain message boxes, and
// an exception that leaves an event handler is shown in the default error box.
class TVostrelApplication : public QApplication {
    Q_OBJECT
public:
    TVostrelApplication(int& argc, char** argv);

    // While false, nothing shows the main window at start-up.
    bool ShowMainForm = true;

    bool notify(QObject* receiver, QEvent* event) override;
    static TVostrelApplication* instance();
};
