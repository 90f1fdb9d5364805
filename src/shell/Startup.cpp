#include "shell/Startup.h"

#include "platform/Files.h"

#include <QDir>

void Init_Folders(App_State& state, const QString& exe_dir) {
    QString dir = QDir::fromNativeSeparators(exe_dir);
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    state.Exe_Dir = dir;
    state.Master_Dir = dir + QStringLiteral("/MASTER");
    state.Projects_Dir = dir + QStringLiteral("/PROJECTS");
    state.Language_Dir = dir + QStringLiteral("/LANGUAGE");
    for (const QString& folder : {state.Master_Dir, state.Projects_Dir, state.Language_Dir})
        if (!Folder_Exists(folder))
            Create_Folder(folder);
}

bool Reopen_Last_Project(App_State& state) {
    if (!state.Project_Name.isEmpty() && Folder_Exists(state.Project_Folder(state.Project_Name))) {
        state.Project_Dir = state.Project_Folder(state.Project_Name);
        return true;
    }
    state.Project_Dir.clear();
    return false;
}
