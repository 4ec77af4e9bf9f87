#pragma once
#include <QByteArray>
#include <QString>

// Code page 936 (GBK), the encoding of "class.dat" whatever the locale.
// A byte sequence that is not GBK decodes as U+FFFD; a character GBK cannot
// hold encodes as "?".
QString FromGbk(const QByteArray& bytes);
QByteArray ToGbk(const QString& text);

// True when every character of `text` has a GBK encoding, so that writing it
// loses nothing.
bool IsGbkEncodable(const QString& text);
