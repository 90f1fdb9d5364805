#pragma once

#include <QString>
#include <QStringList>

#include "state/App_State.h"

// Configurations are the folders directly under PROJECTS; a configuration's name is its folder
// name.

// True when name can only mean a folder directly under PROJECTS: not empty, no folder separator
// ("/" or "\"), not "." or "..", not an absolute or drive path, no NUL character, and a name that
// the file system stores as given (File_System_Keeps_Name: on Windows no name ending in a blank
// or a point, no device name such as CON). Blanks are part of the name.
bool Is_Plain_Folder_Name(const QString& name);

// What happened to a new configuration's name.
enum class New_Project_Result {
    Created,        // the folder and its bin folder exist; the state names it
    Empty_Name,     // entry 107
    Already_Exists, // entry 106
    Not_Valid       // entry 105: not a plain folder name, or the folder cannot be created
};

// The string table entry that reports a refused name (0 for Created).
int Error_Entry(New_Project_Result result);

// Creates the configuration folder name (as typed, not trimmed) under Projects_Dir with its bin
// folder, and makes it the open configuration (Project_Name, Project_Dir, the file paths). The
// checks come in this order: an empty name, a name that is not a plain folder name, an existing
// folder, a folder that cannot be created. A refused name changes nothing on disk or in state.
New_Project_Result Create_New_Project_Folder(App_State& state, const QString& name);

// The folders under projects_dir in the order the file system delivers them: files, "." and
// ".." are left out. A missing folder gives an empty list.
QStringList Existing_Configurations(const QString& projects_dir);

// Position of the first name equal to wanted when both are compared in upper case, or -1.
int Search_Configuration(const QStringList& names, const QString& wanted);

// The name of the open configuration as its folder path holds it (Project_Dir after Projects_Dir
// and the separator); empty when none is open.
QString Open_Configuration_Folder(const App_State& state);
