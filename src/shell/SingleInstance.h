#pragma once

// Holds the program's single-instance lock "通讯录" for the life of the
// process: an exclusive lock on a file of that name in the user's runtime
// folder. Returns false when another instance holds it or it cannot be made.
bool AcquireSingleInstanceLock();
