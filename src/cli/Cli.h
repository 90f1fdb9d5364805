#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "state/Program_Folders.h"

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
int Verb_Diff(const QStringList& arguments, Cli_Streams streams);
int Verb_Dump(const QStringList& arguments, Cli_Streams streams);
int Verb_Lang(const QStringList& arguments, Cli_Streams streams);
int Verb_Run(const QStringList& arguments, Cli_Streams streams);
int Verb_Export(const QStringList& arguments, Cli_Streams streams);
int Verb_Import(const QStringList& arguments, Cli_Streams streams);
// Needs a QGuiApplication (see Needs_Gui_Application).
int Verb_Report(const QStringList& arguments, Cli_Streams streams);

// The verbs that draw (the report) need a QGuiApplication; the others run on QtCore alone.
bool Needs_Gui_Application(const QStringList& arguments);

// The folders of the configurator that this tessaro-cli belongs to: an installed tree or a
// program folder, decided from the folder of its executable as the configurator decides it.
Program_Folders Cli_Folders();
// A configuration folder named on the command line: DIR itself when it is an existing path,
// else the configuration of that name in projects_dir when that folder exists, else DIR.
QString Resolve_Configuration_Dir(const QString& dir, const QString& projects_dir);
QString Resolve_Configuration_Dir(const QString& dir);

int Verb_Map(const QStringList& arguments, Cli_Streams streams);

// A JSON string literal: quotes, backslashes and control characters escaped, the rest as is.
QString Json_String(const QString& text);

// Usage texts.
QString Program_Usage();
// The part of --help that names the folders in use.
QString Folders_Help(const Program_Folders& folders);
QString Check_Usage();
QString Compile_Usage();
QString Diff_Usage();
QString Dump_Usage();
QString Lang_Usage();
QString Run_Usage();
QString Export_Usage();
QString Import_Usage();
QString Map_Usage();
QString Report_Usage();
