#include "app/TVostrelApplication.h"
#include "app/Unit1.h"
#include "login/Unit_Login.h"
#include "shell/SingleInstance.h"

int main(int argc, char** argv)
{
    // A second instance ends at once, silently; the running one is not told.
    if (!AcquireSingleInstanceLock())
        return 0;
    TVostrelApplication app(argc, argv);
    TForm1 form1;
    TForm2 form2(&form1);
    form1.LoginForm = &form2;
    if (app.ShowMainForm)
        form1.show();
    return app.exec();
}
