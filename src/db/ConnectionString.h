#pragma once
#include <QString>

// The parts of the program's connection string that the store uses:
// "Provider=...;Data Source=<file>;...;Jet OLEDB:Database Password=<key>".
struct ConnectionParts {
    QString provider;
    QString dataSource;
    QString password;
};

// Keys are compared without regard to case and surrounding blanks; a value may
// be quoted with " or '. A piece without "=" belongs to the value before it,
// so a folder name holding ";" survives.
ConnectionParts ParseConnectionString(const QString& connectionString);
