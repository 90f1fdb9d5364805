#include "update/Flashlink_File.h"

#include "image/USaveBincc.h"

#include "platform/Files.h"
#include "platform/Xml.h"
#include "state/App_State.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Native_Full_Path(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// The values of one operation that differ between the firmware and the configuration image.
struct Operation_Values {
    QString file_name;
    const char* start_address;
    const char* bank_type;
    const char* write_css;
    const char* address_css;
    bool last;
};

void Append_Operation(pugi::xml_node operations, const Operation_Values& values, bool read_back) {
    pugi::xml_node operation = operations.append_child("Operation");
    const auto add = [&operation](const char* name, const QString& text) {
        Append_Text_Element(operation, name, text);
    };
    add("Ope_Protection_Enabled", QString());
    add("Ope_GoToBoot_Before", QStringLiteral("0"));
    add("Ope_GoToApp_Before", QStringLiteral("0"));
    add("Ope_IP_Address", QString());
    add("Ope_Port", QStringLiteral("2008"));
    add("Ope_Port_Sec", QStringLiteral("2007"));
    add("Ope_Erase_Memory", QStringLiteral("0"));
    add("Ope_FileName", values.file_name);
    add("Ope_Start_Address", QString::fromLatin1(values.start_address));
    add("Ope_Memory_Type", QStringLiteral("0"));
    add("Ope_Bank_Type", QString::fromLatin1(values.bank_type));
    add("Ope_Read_Back", read_back ? QStringLiteral("1") : QStringLiteral("0"));
    add("Ope_Write_CSS", QString::fromLatin1(values.write_css));
    add("Ope_Address_CSS", QString::fromLatin1(values.address_css));
    add("Ope_Command_CSS", QStringLiteral("0x0B"));
    add("Ope_GoToApp_After", values.last ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace

QString Firmware_File_Path(const QString& master_dir) {
    return Native_Full_Path(master_dir + QStringLiteral("/Fw40362.sim"));
}

QString Bank_File_Full_Path(const QString& project_dir) {
    return Native_Full_Path(Bank_File_Path(project_dir));
}

QString Flashlink_File_Path(const QString& exe_dir) {
    return exe_dir + QStringLiteral("/Flashlink.xml");
}

QString Updater_Program_Name() {
#ifdef Q_OS_WIN
    return QStringLiteral("Flashlink.exe");
#else
    return QStringLiteral("Flashlink");
#endif
}

QString Updater_Program_Path(const QString& exe_dir) {
    return exe_dir + QLatin1Char('/') + Updater_Program_Name();
}

Updater_Lookup Find_Updater(const QStringList& folders, const QString& fallback_folder) {
    Updater_Lookup lookup;
    for (const QString& folder : folders) {
        if (lookup.Searched.contains(folder))
            continue;
        lookup.Searched.append(folder);
        const QString program = Updater_Program_Path(folder);
        if (lookup.Program.isEmpty() && File_Exists(program)) {
            lookup.Program = program;
            lookup.Parameter_File = Flashlink_File_Path(folder);
        }
    }
    if (!lookup.Found())
        lookup.Parameter_File = Flashlink_File_Path(fallback_folder);
    return lookup;
}

Updater_Lookup Find_Updater(const App_State& state) {
    if (state.Installed)
        return Find_Updater({state.Exe_Dir, state.Data_Folder()}, state.Data_Folder());
    return Find_Updater({state.Exe_Dir}, state.Exe_Dir);
}

void Build_Flashlink_Document(const Flashlink_Request& request, pugi::xml_document& doc) {
    doc.reset();
    pugi::xml_node root = doc.append_child("Flashlink");
    Append_Text_Element(root, "Version", QStringLiteral("1000"));
    Append_Text_Element(root, "Title", QStringLiteral("Velmora - VC40362 Flashlink"));
    Append_Text_Element(root, "IP_Address_Dev", request.IP_Address);
    Append_Text_Element(root, "Application_Port", QStringLiteral("10000"));
    Append_Text_Element(root, "Boot_Port", QStringLiteral("2008"));
    Append_Text_Element(root, "Boot_Port_Sec", QStringLiteral("2007"));
    Append_Text_Element(root, "Address_Protection", QStringLiteral("0x78000"));
    Append_Text_Element(root.append_child("Protections"), "Protection", QStringLiteral("0x177"));
    pugi::xml_node operations = root.append_child("Operations");
    // The firmware goes first; the device starts its application after the last operation.
    if (request.Update_Option != 2)
        Append_Operation(operations,
                         {Firmware_File_Path(request.Master_Dir), "0x8000", "1", "1", "0x78100",
                          request.Update_Option == 1},
                         request.Read_Back);
    if (request.Update_Option != 1)
        Append_Operation(
            operations,
            {Bank_File_Full_Path(request.Project_Dir), "0x60000", "2", "0", "0x50100", true},
            request.Read_Back);
}

QByteArray Flashlink_Bytes(const Flashlink_Request& request) {
    pugi::xml_document doc;
    Build_Flashlink_Document(request, doc);
    return Xml_Raw_Bytes(doc);
}

void Write_Flashlink_File(const QString& path, const Flashlink_Request& request) {
    pugi::xml_document doc;
    Build_Flashlink_Document(request, doc);
    Save_Xml_File(path, doc);
}
