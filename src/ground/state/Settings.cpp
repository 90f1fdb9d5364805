#include "state/Settings.h"

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Xml.h"

namespace {

void Set_Defaults(App_State& state) {
    state.Project_Name.clear();
    state.Project_Dir.clear();
    state.Last_IP_Address = QString::fromLatin1(Default_IP_Address);
    state.Language = QStringLiteral("English");
    state.Enable_Internet = false;
    state.Enable_Update = false;
    state.Enable_Jump_Field_Tables = false;
    state.Double_Click_Auto_Size = false;
}

QString Text_Or(pugi::xml_node root, const char* group, const char* name, const QString& fallback) {
    return Element_Text_At(root, group, name).value_or(fallback);
}

bool Flag(pugi::xml_node root, const char* name) {
    return Element_Text_At(root, "lastinternet", name) == QStringLiteral("1");
}

const char* Flag_Text(bool flag) {
    return flag ? "1" : "0";
}

} // namespace

std::optional<QString> Load_Setting(App_State& state) {
    Set_Defaults(state);
    const QString path = state.Settings_File();
    if (!File_Exists(path))
        return std::nullopt;

    pugi::xml_document doc;
    std::optional<QString> problem;
    try {
        Load_Xml_File(path, doc);
    } catch (const Tessaro_Error& error) {
        problem = error.Message();
        doc.reset();
    }
    const pugi::xml_node root = Root_Element(doc);
    state.Project_Name = Text_Or(root, "lastproj", "projectname", QString());
    state.Last_IP_Address =
        Text_Or(root, "lastipadd", "ipaddress", QString::fromLatin1(Default_IP_Address));
    state.Language = Text_Or(root, "lastlang", "language", QStringLiteral("English"));
    state.Enable_Internet = Flag(root, "enable_internet");
    state.Enable_Update = Flag(root, "enable_update");
    state.Enable_Jump_Field_Tables = Flag(root, "enable_jump_field_tables");
    state.Double_Click_Auto_Size = Flag(root, "Double_Click_Auto_Size");
    return problem;
}

QByteArray Setting_Bytes(const App_State& state) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Conf_Settings");
    Append_Text_Element(root.append_child("lastproj"), "projectname", state.Project_Name);
    Append_Text_Element(root.append_child("lastipadd"), "ipaddress", state.Last_IP_Address);
    Append_Text_Element(root.append_child("lastlang"), "language", state.Language);
    pugi::xml_node options = root.append_child("lastinternet");
    options.append_child("enable_internet").text().set(Flag_Text(state.Enable_Internet));
    options.append_child("enable_update").text().set(Flag_Text(state.Enable_Update));
    options.append_child("enable_jump_field_tables")
        .text()
        .set(Flag_Text(state.Enable_Jump_Field_Tables));
    options.append_child("Double_Click_Auto_Size")
        .text()
        .set(Flag_Text(state.Double_Click_Auto_Size));
    return Xml_Raw_Bytes(doc);
}

std::optional<QString> Save_Setting(const App_State& state) {
    if (const auto error = Write_File_Atomic(state.Settings_File(), Setting_Bytes(state)))
        return QStringLiteral("%1: cannot be written: %2")
            .arg(File_Display_Name(state.Settings_File()), *error);
    return std::nullopt;
}
