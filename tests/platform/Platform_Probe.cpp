// A small program that the platform tests run in other surroundings (another user, a network
// namespace of its own) or let exit while a program it started still runs.
//
//   platform_probe echo ADDRESS [--refuse-sockets] [--no-ping]
//       one echo request with the address text as data; prints the outcome on one line:
//       "reply BYTES via METHOD", "no-reply via METHOD", "bad-address: REASON" or
//       "failed via METHOD: REASON"
//   platform_probe launch LIMIT_MS PROGRAM
//       starts the program, waits up to LIMIT_MS and exits
#include "platform/Icmp_Echo.h"
#include "platform/Program_Launcher.h"

#include <QCoreApplication>
#include <QStringList>
#include <cerrno>
#include <cstdio>

#include <sys/socket.h>

namespace {

int Echo(const QStringList& args) {
    Icmp_Echo::System system = Icmp_Echo::Real_System();
    if (args.contains(QStringLiteral("--refuse-sockets")))
        system.Open_Socket = [](int type) { return type == SOCK_DGRAM ? -EACCES : -EPERM; };
    if (args.contains(QStringLiteral("--no-ping")))
        system.Find_Ping = [] { return QString(); };
    Icmp_Echo echo(system);
    const QString address = args.value(2);
    const Echo_Report report = echo.Echo(address, address.toUtf8(), 400);
    QString line;
    switch (report.status) {
    case Echo_Report::Status::Reply:
        line = QStringLiteral("reply %1 via %2").arg(report.bytes_received).arg(report.method);
        break;
    case Echo_Report::Status::No_Reply:
        line = QStringLiteral("no-reply via %1").arg(report.method);
        break;
    case Echo_Report::Status::Bad_Address:
        line = QStringLiteral("bad-address: %1").arg(report.reason);
        break;
    case Echo_Report::Status::Failed:
        line = QStringLiteral("failed via %1: %2").arg(report.method, report.reason);
        break;
    }
    std::printf("%s\n", qPrintable(line));
    return 0;
}

int Launch(const QStringList& args) {
    Qt_Program_Launcher launcher(args.value(2).toInt());
    launcher.Start_Program(args.value(3), QString(), false);
    std::printf("left running %d\n", Qt_Program_Launcher::Programs_Left_Running());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == QStringLiteral("echo") && args.size() >= 3)
        return Echo(args);
    if (args.value(1) == QStringLiteral("launch") && args.size() >= 4)
        return Launch(args);
    std::fprintf(stderr, "usage: platform_probe echo ADDRESS [--refuse-sockets] [--no-ping]\n"
                         "       platform_probe launch LIMIT_MS PROGRAM\n");
    return 2;
}
