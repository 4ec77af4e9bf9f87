#pragma once
#include <QString>

// Where the register lives and how it is keyed.
inline constexpr const char* kRegisterFileName = "_.udb";
inline constexpr const char* kRegisterPassword = "p7Rx2mQ9tLw4";
inline constexpr const char* kPasswordCipherKey = "vum";

// The program's connection string for a register in `folder` (ending with "/").
QString RegisterConnectionString(const QString& folder);

// Makes a fresh register in `folder`: tables data and Pass, one Pass row with
// the enciphered administrator password. The file appears whole or not at all
// and is readable by its owner only. Raises EDatabaseError saying why it
// failed.
void CreateRegisterFile(const QString& folder, const QString& adminPassword, bool replaceExisting);

// An initial administrator password is one or more ASCII letters and digits.
bool IsValidAdminPassword(const QString& password);
