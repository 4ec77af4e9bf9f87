#include "app/FeatureTexts.h"
#include "app/TVostrelApplication.h"
#include "app/Unit1.h"
#include "login/Unit_Login.h"
#include "shell/MessageBoxes.h"
#include "shell/SingleInstance.h"

int main(int argc, char** argv)
{
    // A second instance ends at once, silently; the running one is not told.
    const SingleInstanceLock lock = AcquireSingleInstanceLock();
    if (lock == SingleInstanceLock::HeldByOther)
        return 0;
    TVostrelApplication app(argc, argv);
    if (lock == SingleInstanceLock::Unavailable) {
        MessageBoxes::ShowError(FeatureTexts::CannotLockSingleInstance());
        return 1;
    }
    TForm1 form1;
    TForm2 form2(&form1);
    form1.LoginForm = &form2;
    if (app.ShowMainForm)
        form1.show();
    return app.exec();
}
