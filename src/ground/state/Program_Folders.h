#pragma once

#include <QString>

// Where the program keeps its files.
//
// A program folder (dist/tessaro, a copied folder, a USB stick) keeps everything beside the
// executable. An installed program lies in an installed tree: the executable in <prefix>/bin and
// the files shipped with it in <prefix>/share/tessaro; it keeps the user's files (PROJECTS,
// MASTER, LANGUAGE and Tessaro.xml) in the per-user data folder, and offers the languages shipped
// in <prefix>/share/tessaro/LANGUAGE beside the user's own. Whether a folder may be written
// decides nothing: run as root, /usr/bin is writable too, and the program never fills it.

// The application name of both programs; with no organisation name the per-user data folder is
// ~/.local/share/Tessaro.
inline constexpr char Application_Name[] = "Tessaro";

struct Program_Folders {
    bool Installed = false;
    // The folder of the executable.
    QString Exe_Dir;
    // PROJECTS, MASTER, LANGUAGE and Tessaro.xml: Exe_Dir in a program folder, the per-user data
    // folder in an installed program.
    QString Data_Dir;
    // The languages shipped with an installed program; empty in a program folder.
    QString Shipped_Language_Dir;
};

// <exe_dir>/../share/tessaro, without the "..".
QString Installed_Share_Dir(const QString& exe_dir);
// True when the executable lies in an installed tree: its share/tessaro folder exists.
bool Is_Installed_Tree(const QString& exe_dir);

// The per-user data folder (QStandardPaths::AppDataLocation, ~/.local/share/Tessaro).
QString User_Data_Location();

// The folders of a program whose executable lies in exe_dir; user_data_dir is the per-user data
// folder, used only by an installed program. Paths are joined with "/", without a trailing one.
Program_Folders Decide_Program_Folders(const QString& exe_dir, const QString& user_data_dir);
