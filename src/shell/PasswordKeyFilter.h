#pragma once
#include <functional>

class QLineEdit;

// Limits a password edit to ASCII letters and digits. A refused typed key
// beeps; pasted, dropped or composed text holding any other character is
// refused whole, so the edit can never hold one. Enter is offered to
// `onEnter` first; when that does not take it, it is refused like any other
// key.
void InstallPasswordKeyFilter(QLineEdit* edit, std::function<bool()> onEnter = {});
