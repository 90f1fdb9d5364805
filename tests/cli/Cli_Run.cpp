#include "Cli_Run.h"

#include <QProcess>
#include <gtest/gtest.h>

Cli_Result Run_Cli_Program(const QStringList& arguments) {
    return Run_Program(QStringLiteral(TESSARO_CLI), arguments, QString());
}

Cli_Result Run_Program(const QString& program, const QStringList& arguments,
                       const QString& working_dir,
                       const QList<std::pair<QString, QString>>& environment) {
    QProcess process;
    if (!working_dir.isEmpty())
        process.setWorkingDirectory(working_dir);
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : environment)
            env.insert(name, value);
        process.setProcessEnvironment(env);
    }
    process.start(program, arguments);
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
