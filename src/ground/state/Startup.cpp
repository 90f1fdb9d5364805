#include "state/Startup.h"

#include "platform/Files.h"
#include "state/Program_Folders.h"

#include <QDir>

void Init_Folders(App_State& state, const QString& exe_dir, const QString& user_data_dir) {
    const Program_Folders folders = Decide_Program_Folders(exe_dir, user_data_dir);
    state.Exe_Dir = folders.Exe_Dir;
    state.Installed = folders.Installed;
    state.Data_Dir = folders.Data_Dir;
    state.Shipped_Language_Dir = folders.Shipped_Language_Dir;
    const QString dir = folders.Data_Dir;
    state.Master_Dir = dir + QStringLiteral("/MASTER");
    state.Projects_Dir = dir + QStringLiteral("/PROJECTS");
    state.Language_Dir = dir + QStringLiteral("/LANGUAGE");
    // The per-user data folder and its parents (~/.local/share) may not exist yet.
    if (folders.Installed && !Folder_Exists(dir))
        Create_Folder_Path(dir);
    for (const QString& folder : {state.Master_Dir, state.Projects_Dir, state.Language_Dir})
        if (!Folder_Exists(folder))
            Create_Folder(folder);
}

void Init_Folders(App_State& state, const QString& exe_dir) {
    Init_Folders(state, exe_dir, Is_Installed_Tree(exe_dir) ? User_Data_Location() : QString());
}

bool Reopen_Last_Project(App_State& state) {
    if (!state.Project_Name.isEmpty() && Folder_Exists(state.Project_Folder(state.Project_Name))) {
        state.Project_Dir = state.Project_Folder(state.Project_Name);
        return true;
    }
    state.Project_Dir.clear();
    return false;
}
