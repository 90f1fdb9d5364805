#include "cli/Cli.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Run_Cli(application.arguments().mid(1), {out, err});
    out.flush();
    err.flush();
    return status;
}
