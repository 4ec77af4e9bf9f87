#pragma once
#include <QString>

// The site's name that heads a visitor pass: the first line of "site.txt"
// in the given folder (the executable's), UTF-8 text, blanks trimmed. No
// file, an unreadable file or an empty line give an empty name.
inline constexpr const char* kSiteNameFile = "site.txt";
QString ReadSiteName(const QString& folder);
