#include "image/USaveBincc.h"

#include "image/Image_Loaders.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "state/App_State.h"

#include <memory>

namespace {

void Require_Folder(const QString& project_dir) {
    if (project_dir.isEmpty() || !Folder_Exists(project_dir))
        throw Tessaro_Error(
            QStringLiteral("The configuration folder \"%1\" does not exist").arg(project_dir));
}

} // namespace

Project_Files Project_Files::In_Folder(const QString& project_dir) {
    return {project_dir + QStringLiteral("/ParGen.xml"),
            project_dir + QStringLiteral("/DMX_Default_Values.xml"),
            project_dir + QStringLiteral("/ModbusTCPM_SetAccess.xml")};
}

Project_Files Project_Files::Of(const App_State& state) {
    return {state.ParGen_File, state.DMX_Default_Values_File, state.ModbusTCPM_SetAccess_File};
}

QString Bank_File_Path(const QString& project_dir) {
    return project_dir + QStringLiteral("/bin/bank.bin");
}

void Compile_Bank(const Project_Files& files, Image_Record& image, Bank_Buffer& buffer,
                  std::vector<Request_Source>* sources) {
    Set_Image_Defaults(image);
    Clear_Image_DMX_Defaults(image);
    Clear_Request_Table(image);
    Load_Image_Settings(image, files.ParGen_File);
    Load_Image_DMX_Defaults(image, files.DMX_Default_Values_File);
    Load_Image_Requests(image, files.ModbusTCPM_SetAccess_File, sources);

    buffer.Length = 0;
    Serialize_Request_Table(image, buffer);
    buffer.Length = Serialize_Settings_Block(image, buffer, buffer.Length);
    buffer.Length = Append_DMX_Defaults(image, buffer, buffer.Length);
}

void Compile_Bank(const App_State& state, Image_Record& image, Bank_Buffer& buffer) {
    Require_Folder(state.Project_Dir);
    Compile_Bank(Project_Files::Of(state), image, buffer);
}

void Save_Bank_File(const QString& project_dir, const Bank_Buffer& buffer) {
    Require_Folder(project_dir);
    const QString path = Bank_File_Path(project_dir);
    const QString bin = project_dir + QStringLiteral("/bin");
    // The folder comes with a new configuration; one removed by hand is made again, but only
    // inside a configuration folder that still exists.
    if (!Folder_Exists(bin) && !Create_Folder(bin))
        throw Tessaro_Error(
            QStringLiteral("%1: cannot be written: the folder \"%2\" cannot be created")
                .arg(File_Display_Name(path), bin));
    if (const auto error = Write_File_Atomic(path, buffer.Used_Bytes()))
        throw Tessaro_Error(
            File_Problem{File_Problem::Kind::Cannot_Be_Written, File_Display_Name(path), *error});
}

void Save_Bank_File(const App_State& state, const Bank_Buffer& buffer) {
    Save_Bank_File(state.Project_Dir, buffer);
}

QByteArray Compile_Configuration(const QString& project_dir) {
    Require_Folder(project_dir);
    const auto image = std::make_unique<Image_Record>();
    Bank_Buffer buffer;
    Compile_Bank(Project_Files::In_Folder(project_dir), *image, buffer);
    return buffer.Used_Bytes();
}
