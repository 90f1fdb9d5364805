#include "context/Error_Display.h"
#include "main_window/Tessaro_App.h"
#include "state/Program_Folders.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>

int main(int argc, char** argv) {
    Tessaro_Application application(argc, argv);
    // The name gives the per-user data folder of an installed program (~/.local/share/Tessaro);
    // the desktop entry's name lets the desktop match the windows with the installed entry.
    QCoreApplication::setApplicationName(QString::fromLatin1(Application_Name));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velmora.tessaro"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tessaro-48.png"));
    icon.addFile(QStringLiteral(":/icons/tessaro-256.png"));
    QGuiApplication::setWindowIcon(icon);
    Tessaro_App app(QCoreApplication::applicationDirPath());
    application.Set_Messages(app.Context().messages, &app.Context().lang);
    app.Main_Window().show();
    return application.exec();
}
