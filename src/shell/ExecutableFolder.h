#pragma once
#include <QString>

// The folder of the running executable, ending with "/". Every file of the
// program lives there; the working directory plays no part.
QString ExecutableFolder();

// Tests run the windows against a folder of their own.
void SetExecutableFolderForTesting(const QString& folder);
