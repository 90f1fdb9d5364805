#pragma once

#include <QString>

#include "state/App_State.h"

// The parts of start-up that concern folders and the open configuration.

// Sets Exe_Dir and the three working folders, creating each one that is missing (one level;
// a failure is ignored here, later operations on the folder report their own). An executable in
// an installed tree keeps its working folders in the per-user data folder user_data_dir, which is
// created with its parents; elsewhere they lie beside the executable (Program_Folders.h).
void Init_Folders(App_State& state, const QString& exe_dir, const QString& user_data_dir);
// The same with the user's own data folder (User_Data_Location).
void Init_Folders(App_State& state, const QString& exe_dir);

// Reopens the configuration named in the settings when its folder exists; true when it did.
// Project_Name keeps the remembered name either way.
bool Reopen_Last_Project(App_State& state);
