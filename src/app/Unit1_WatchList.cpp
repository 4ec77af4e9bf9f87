// The watch list's window, opened from the record list's menu.
#include "app/Unit1.h"
#include "app/WatchListWindow.h"

void TForm1::WatchListItemClick()
{
    TWatchListWindow window(this, WatchList, ADOConnection1);
    window.exec();
}
