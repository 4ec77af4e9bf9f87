#pragma once
#include <QCommandLineParser>
#include <QStringList>

// Parses a tool's arguments, with --help added to the parser's options.
// --help prints the help and ends the tool with 0; a bad option, or another
// number of positional arguments than `positionals`, ends it through
// ExitWithUsage. Returns the positional arguments.
QStringList ParseToolArguments(QCommandLineParser& parser, qsizetype positionals);

// Prints "<tool>: <error>" when there is an error, then the help, to standard
// error, and ends the tool with 2.
[[noreturn]] void ExitWithUsage(const QCommandLineParser& parser, const QString& error = {});
