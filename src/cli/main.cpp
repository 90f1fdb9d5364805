#include "cli/Cli.h"
#include "platform/Console.h"
#include "state/Program_Folders.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>

namespace {

QtMessageHandler Qt_Handler = nullptr;

// Qt's notice that XDG_RUNTIME_DIR is not set (as in a service or a container) says nothing about
// the report; every other message goes through.
void Report_Messages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (Qt_Handler)
        Qt_Handler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Drawing a report needs the fonts of a GUI application; the companion never shows a window,
    // so it draws on the offscreen platform and needs no display. The other verbs run on QtCore.
    std::unique_ptr<QCoreApplication> application;
    if (Needs_Gui_Application(arguments)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        Qt_Handler = qInstallMessageHandler(Report_Messages);
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The configurator's name: an installed program finds the same per-user data folder.
    QCoreApplication::setApplicationName(QString::fromLatin1(Application_Name));
    Prepare_Console_Output();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Run_Cli(application->arguments().mid(1), {out, err});
    out.flush();
    err.flush();
    return status;
}
