#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <utility>

// One run of the built tessaro-cli.
struct Cli_Result {
    int status = -1;
    QString out;
    QString err;
};

Cli_Result Run_Cli_Program(const QStringList& arguments);

// One run of a copy of tessaro-cli (program) in working_dir with these environment variables
// ("NAME", value) added to the test's own.
Cli_Result Run_Program(const QString& program, const QStringList& arguments,
                       const QString& working_dir,
                       const QList<std::pair<QString, QString>>& environment = {});
