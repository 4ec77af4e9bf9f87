#pragma once
// The skin the program ships with, embedded as the main window's
// "SkinStream" payload (signed 32-bit length, then the skin file).

#include <QString>

class TSkinData;

inline const QString kShippedSkinResource = QStringLiteral(":/skin/SkinStream.bin");

// Makes sure the embedded resource is registered (needed when linked
// statically); safe to call more than once.
void InitShippedSkinResource();

// Reads the embedded payload into skinData and decodes it, as the main
// window does while it is built. True when the skin is ready.
bool LoadShippedSkin(TSkinData& skinData);
