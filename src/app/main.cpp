#include "platform/Error_Display.h"
#include "shell/Tessaro_App.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    Tessaro_Application application(argc, argv);
    Tessaro_App app(QCoreApplication::applicationDirPath());
    application.Set_Messages(app.Context().messages);
    app.Main_Window().show();
    return application.exec();
}
