#include "cli/Cli.h"
#include "shell/Program_Folders.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // The configurator's name: an installed program finds the same per-user data folder.
    QCoreApplication::setApplicationName(QString::fromLatin1(Application_Name));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Run_Cli(application.arguments().mid(1), {out, err});
    out.flush();
    err.flush();
    return status;
}
