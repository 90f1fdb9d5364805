#include "state/Configurations.h"

#include "platform/Files.h"

#include <QDir>
#include <QDirIterator>

bool Is_Plain_Folder_Name(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    // Windows would store some names otherwise ("Hall A." as "Hall A") or not at all ("C:x"
    // names a path on drive C, "CON" a device).
    if (!File_System_Keeps_Name(name))
        return false;
    return !QDir::isAbsolutePath(name);
}

int Error_Entry(New_Project_Result result) {
    switch (result) {
    case New_Project_Result::Created:
        return 0;
    case New_Project_Result::Empty_Name:
        return 107;
    case New_Project_Result::Already_Exists:
        return 106;
    case New_Project_Result::Not_Valid:
        return 105;
    }
    return 105;
}

New_Project_Result Create_New_Project_Folder(App_State& state, const QString& name) {
    if (name.isEmpty())
        return New_Project_Result::Empty_Name;
    // A name that reaches outside PROJECTS or below another folder would create or open a folder
    // elsewhere; "." and ".." would otherwise be taken for existing configurations.
    if (!Is_Plain_Folder_Name(name))
        return New_Project_Result::Not_Valid;
    const QString folder = state.Project_Folder(name);
    if (QFileInfo::exists(folder))
        return Folder_Exists(folder) ? New_Project_Result::Already_Exists
                                     : New_Project_Result::Not_Valid;
    if (!Create_Folder(folder))
        return New_Project_Result::Not_Valid;
    // The image writer reports a bin folder that could not be made.
    Create_Folder_Path(folder + QStringLiteral("/bin"));
    state.Project_Name = name;
    state.Project_Dir = folder;
    state.Set_Files();
    return New_Project_Result::Created;
}

QStringList Existing_Configurations(const QString& projects_dir) {
    QStringList names;
    if (projects_dir.isEmpty())
        return names;
    // Hidden folders too: every folder that New can create is a configuration that Open lists.
    QDirIterator it(projects_dir, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    return names;
}

int Search_Configuration(const QStringList& names, const QString& wanted) {
    const QString upper = wanted.toUpper();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].toUpper() == upper)
            return i;
    return -1;
}

QString Open_Configuration_Folder(const App_State& state) {
    const QString prefix = state.Projects_Dir + QLatin1Char('/');
    if (state.Project_Dir.isEmpty() || !state.Project_Dir.startsWith(prefix))
        return QString();
    return state.Project_Dir.mid(prefix.size());
}
