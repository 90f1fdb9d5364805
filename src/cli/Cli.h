#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// The command-line companion: each verb takes its arguments (after the verb) and the two output
// streams, and returns the exit status (0 success, 1 a failing result, 2 wrong usage).
struct Cli_Streams {
    QTextStream& out;
    QTextStream& err;
};

inline constexpr int Exit_Ok = 0;
inline constexpr int Exit_Failed = 1;
inline constexpr int Exit_Usage = 2;

int Run_Cli(const QStringList& arguments, Cli_Streams streams);

int Verb_Check(const QStringList& arguments, Cli_Streams streams);
int Verb_Compile(const QStringList& arguments, Cli_Streams streams);
int Verb_Dump(const QStringList& arguments, Cli_Streams streams);
int Verb_Lang(const QStringList& arguments, Cli_Streams streams);
int Verb_Export(const QStringList& arguments, Cli_Streams streams);
int Verb_Import(const QStringList& arguments, Cli_Streams streams);

// A JSON string literal: quotes, backslashes and control characters escaped, the rest as is.
QString Json_String(const QString& text);

// Usage texts.
QString Program_Usage();
QString Check_Usage();
QString Compile_Usage();
QString Dump_Usage();
QString Lang_Usage();
QString Export_Usage();
QString Import_Usage();
