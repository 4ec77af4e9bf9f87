// What the skin costs on screen: repainting the whole main window and
// opening the tray menu, each plain and skinned, in one run.
//
//   vostrel-skin-repaint-bench [--runs N]

#include "app/Unit1.h"
#include "db/DatabaseError.h"
#include "db/RegisterFile.h"
#include "login/Unit_Login.h"
#include "shell/ExecutableFolder.h"
#include "shell/MessageBoxes.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/SkinMenuOwnerDraw.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Median of runs, in microseconds, after warm-up calls.
double MedianMicros(int runs, const std::function<void()>& work)
{
    for (int i = 0; i < std::max(10, runs / 5); ++i)
        work();
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        clock.start();
        work();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Painting every widget of the window (the offscreen platform does not
// expose windows without an event loop, so repaint() would paint nothing).
void RepaintWindow(QWidget* window)
{
    volatile qint64 key = window->grab().cacheKey();
    (void)key;
    QCoreApplication::sendPostedEvents();
}

void OpenTrayMenu(QMenu* menu)
{
    menu->popup(QPoint(100, 100));
    volatile qint64 key = menu->grab().cacheKey();
    (void)key;
    menu->hide();
    QCoreApplication::sendPostedEvents();
}

void Row(const char* what, double plain, double skinned)
{
    std::printf("%-28s %12.1f %12.1f %8.2fx\n", what, plain, skinned, plain > 0 ? skinned / plain : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 200;
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--runs")
            runs = std::max(1, QByteArray(argv[i + 1]).toInt());

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    SetExecutableFolderForTesting(dir.path());
    MessageBoxes::SetScript([](const MessageBoxes::Request&) { return false; });
    try {
        CreateRegisterFile(dir.path(), QStringLiteral("abc123"), false);
    } catch (const EDatabaseError&) {
        std::fprintf(stderr, "could not make the register\n");
        return 1;
    }

    // Both windows, as the program builds them (the main window's login
    // timer talks to the login window).
    auto form = std::make_unique<TForm1>();
    auto login = std::make_unique<TForm2>(form.get());
    form->LoginForm = login.get();
    // As after a login: the main window may be shown.
    login->Edit_LoginPass_Temp->setText(QStringLiteral("abc123"));
    TSkinManager* manager = TSkinManager::Ensure();
    // The window's own switch-on would run from the timer: we switch by hand.
    manager->ActionTimer().stop();
    manager->SetSkinningOn(false);
    if (TSkinForm* frame = manager->FindSkinForm(form.get()))
        manager->RemoveSkinForm(frame);
    form->resize(1024, 700);
    form->show();
    QCoreApplication::sendPostedEvents();
    QMenu* tray = form->PopupMenu1;

    auto skin = [&](bool on) {
        if (on) {
            manager->SetSkinningOn(true);
            manager->SkinWindow(form.get());
            QCoreApplication::sendPostedEvents(form.get(), SkinEvents::kFinishSetup);
        } else {
            if (TSkinForm* frame = manager->FindSkinForm(form.get()))
                manager->RemoveSkinForm(frame);
            manager->SetSkinningOn(false);
        }
        // Posted events only: the login timer must not hide the window.
        QCoreApplication::sendPostedEvents();
        manager->ActionTimer().stop();
        login->hide();
        form->show();
    };

    skin(false);
    const double plainWindow = MedianMicros(runs, [&] { RepaintWindow(form.get()); });
    const double plainMenu = MedianMicros(runs, [&] { OpenTrayMenu(tray); });
    skin(true);
    const bool framed = manager->FindSkinForm(form.get()) != nullptr;
    const double skinnedWindow = MedianMicros(runs, [&] { RepaintWindow(form.get()); });
    tray->popup(QPoint(100, 100));
    const bool menuSkinned = manager->FindPopupMenu(tray) != nullptr && tray->isVisible();
    tray->hide();
    const double skinnedMenu = MedianMicros(runs, [&] { OpenTrayMenu(tray); });

    std::printf("median of %d runs, microseconds (offscreen platform)\n", runs);
    std::printf("%-28s %12s %12s %9s\n", "", "plain", "skinned", "ratio");
    Row("repaint main window", plainWindow, skinnedWindow);
    Row("open tray menu", plainMenu, skinnedMenu);
    std::printf("main window shown: %s; ", form->isVisible() ? "yes" : "no");
    std::printf("main window framed: %s; tray menu skinned: %s; items owner-drawn: %s\n", framed ? "yes" : "no",
                menuSkinned ? "yes" : "no", IsMenuOwnerDrawn(tray) ? "yes" : "no");

    if (TSkinForm* frame = manager->FindSkinForm(form.get()))
        manager->RemoveSkinForm(frame);
    login.reset();
    form.reset();
    MessageBoxes::SetScript(nullptr);
    SetExecutableFolderForTesting(QString());
    return 0;
}
