#include "TempDir.h"

TempDir::TempDir() : dir_(QDir::tempPath() + QStringLiteral("/vostrel-test-XXXXXX")) {}
