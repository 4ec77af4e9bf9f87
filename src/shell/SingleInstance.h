#pragma once
#include <QString>

enum class SingleInstanceLock {
    Acquired,    // this process holds the lock for the rest of its life
    HeldByOther, // another instance of this user runs
    Unavailable  // no private folder or lock file could be had
};

// Holds the program's single-instance lock "通讯录" for the life of the
// process: an exclusive lock on a file of that name in a folder only this
// user can write (SingleInstanceLockFolder()).
SingleInstanceLock AcquireSingleInstanceLock();

// The folder of the lock file: the user's runtime folder; without one,
// "vostrel-<uid>" in the temporary folder, made with mode 0700 and used only
// when it is a folder of this user that nobody else can write; otherwise
// "vostrel" in the user's cache folder on the same terms. Empty when none is.
QString SingleInstanceLockFolder();
