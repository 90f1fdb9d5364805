#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

// One run of the built tessaro-cli.
struct Cli_Result {
    int status = -1;
    QString out;
    QString err;
};

Cli_Result Run_Cli_Program(const QStringList& arguments);
// The same in the given environment.
Cli_Result Run_Cli_Program(const QStringList& arguments, const QProcessEnvironment& environment);
