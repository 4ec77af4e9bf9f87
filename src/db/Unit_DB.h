#pragma once
#include <QString>

// File work behind the "压缩修复" button.

// The system's temporary folder, always ending with "/".
QString GetTempDirectory();

// Rewrites the register at `path` compactly, keyed with `password` and the
// register's cipher settings. The compacted copy is built in a temporary
// file "~ACP…" in GetTempDirectory() and then takes the register's place
// atomically, so on any failure the register stays byte for byte as it was.
// Fails when another connection holds the register inside a transaction.
// Raises EDatabaseError saying why it failed.
void CompactDatabaseFile(const QString& path, const QString& password);
