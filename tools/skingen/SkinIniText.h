#pragma once
// The shipped skin's INI: which bitmap each element uses, its margins,
// frames and colours.

#include <QByteArray>
#include <QString>

inline const QString kShippedSkinIniName = QStringLiteral("vostrel.ini");
QByteArray ShippedSkinIniText();
