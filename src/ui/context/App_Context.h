#pragma once

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

#include "lang/Lang_Table.h"
#include "lang/Qt_Translation.h"
#include "platform/Icmp_Echo.h"
#include "platform/Messages.h"
#include "platform/Program_Launcher.h"
#include "state/App_State.h"
#include "web/Version_Check.h"

// What the windows share for the whole run: the application state, the string table, the row
// copy buffer and the services through which they reach the desktop. Tests replace the services.
struct App_Context {
    App_State state;
    Lang_Table lang;
    // Qt's own texts in the language of lang (the main window follows every language change).
    Qt_Translation Qt_Texts;
    // The texts of the table row copied last.
    QStringList Row_Copy_Buffer;

    // Message boxes.
    Messages* messages = nullptr;
    // Shows a dialog modally and gives its result.
    std::function<int(QDialog&)> Show_Modal = [](QDialog& dialog) { return dialog.exec(); };
    // Opens a web address with the desktop's browser.
    std::function<void(const QUrl&)> Open_Url = [](const QUrl& url) {
        QDesktopServices::openUrl(url);
    };
    // Ask for a file to read or to write: parent, caption, start folder or suggested path, name
    // filter; an empty text when the user cancels. Tests answer instead of a file dialog.
    using File_Question =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    File_Question Ask_Open_File = [](QWidget* parent, const QString& caption, const QString& start,
                                     const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, start, filter);
    };
    File_Question Ask_Save_File = [](QWidget* parent, const QString& caption, const QString& start,
                                     const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, start, filter);
    };
    // Spreadsheet export and import remember, for the run, the folder of the last file (empty:
    // start in the open configuration's folder) and the separator of exported files (',', ';'
    // or '\t').
    QString Spreadsheet_Folder;
    char Spreadsheet_Separator = ',';

    // The server asked for the newest version (tests point it at a loopback server).
    Version_Server Version_Query;
    // ICMP echo requests of the update dialog.
    std::shared_ptr<Echo_Client> echo_client = std::make_shared<Icmp_Echo>();
    // Starts the device updater and waits for it.
    std::shared_ptr<Program_Launcher> launcher = std::make_shared<Qt_Program_Launcher>();

    QString Text(int index) const { return lang.Text(index); }
};
