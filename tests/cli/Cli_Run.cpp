#include "Cli_Run.h"

#include <QProcess>
#include <gtest/gtest.h>

Cli_Result Run_Cli_Program(const QStringList& arguments) {
    return Run_Cli_Program(arguments, QProcessEnvironment::systemEnvironment());
}

Cli_Result Run_Cli_Program(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSARO_CLI), arguments);
    Cli_Result result;
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "tessaro-cli did not finish";
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}
