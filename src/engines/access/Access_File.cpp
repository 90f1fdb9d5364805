#include "access/Access_File.h"

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Xml.h"

namespace {

constexpr char Root_Name[] = "Modbus_TCP_Master_Rules";

const char* Section_Name(Access_Kind kind) {
    return kind == Access_Kind::Read ? "Modbus_Read" : "Modbus_Write";
}

// Attributes that older files may lack, with the text they stand for.
const char* Default_For_Missing(Access_Kind kind, const char* attribute) {
    const QLatin1String name(attribute);
    if (name == QLatin1String("Enable"))
        return "Y";
    if (name == QLatin1String("Swap"))
        return "N";
    if (kind == Access_Kind::Write && name == QLatin1String("OnCMD"))
        return "N";
    return nullptr;
}

void Load_Section(pugi::xml_node root, Access_Kind kind, Request_Table& table,
                  const QString& file_name) {
    const char* section_name = Section_Name(kind);
    const pugi::xml_node section = First_Child_Element(root, section_name);
    if (!section)
        throw Tessaro_Error(
            QStringLiteral("%1: the element %2 is missing").arg(file_name, section_name));

    int count = 0;
    for (pugi::xml_node node = section.first_child(); node; node = node.next_sibling())
        ++count;
    if (count > Access_Slot_Count)
        throw Tessaro_Error(QStringLiteral("%1: %2 holds %3 rows, more than the %4 of the table")
                                .arg(file_name, section_name)
                                .arg(count)
                                .arg(Access_Slot_Count));

    const auto fields = Access_Fields(kind);
    int slot = 1;
    for (pugi::xml_node node = section.first_child(); node; node = node.next_sibling(), ++slot) {
        if (node.type() != pugi::node_element)
            throw Tessaro_Error(QStringLiteral("%1: %2 row %3: not a row element")
                                    .arg(file_name, section_name)
                                    .arg(slot));
        for (int field = 1; field <= static_cast<int>(fields.size()); ++field) {
            const char* attribute = fields[static_cast<size_t>(field - 1)].attribute;
            std::optional<QString> value = Attribute_Text(node, attribute);
            if (!value) {
                const char* fallback = Default_For_Missing(kind, attribute);
                if (!fallback)
                    throw Tessaro_Error(QStringLiteral("%1: %2 row %3: attribute %4 is missing")
                                            .arg(file_name, section_name)
                                            .arg(slot)
                                            .arg(QLatin1String(attribute)));
                value = QString::fromLatin1(fallback);
            }
            table.Set_Field(slot, field, *value);
        }
    }
}

void Add_Section(pugi::xml_node root, const Request_Table& table) {
    pugi::xml_node section = root.append_child(Section_Name(table.Kind()));
    const auto fields = Access_Fields(table.Kind());
    const int used = table.Used_Count();
    for (int slot = 1; slot <= used; ++slot) {
        pugi::xml_node row = section.append_child("row");
        for (int field = 1; field <= static_cast<int>(fields.size()); ++field)
            Set_Attribute(row, fields[static_cast<size_t>(field - 1)].attribute,
                          table.Field(slot, field));
    }
}

// A new document: nothing of a file read earlier survives.
void Build_Document(const Access_Table& table, pugi::xml_document& doc) {
    pugi::xml_node root = doc.append_child(Root_Name);
    doc.append_child(pugi::node_comment).set_value(Project_File_Comment);
    Add_Section(root, table.Read);
    Add_Section(root, table.Write);
}

} // namespace

void Load_Access_File(const QString& path, Access_Table& table) {
    if (!File_Exists(path))
        return;
    pugi::xml_document doc;
    Load_Xml_File(path, doc);
    const QString file_name = File_Display_Name(path);
    const pugi::xml_node root = Root_Element(doc);
    if (!root)
        throw Tessaro_Error(QStringLiteral("%1: the file has no root element").arg(file_name));
    Load_Section(root, Access_Kind::Read, table.Read, file_name);
    Load_Section(root, Access_Kind::Write, table.Write, file_name);
}

QByteArray Access_File_Bytes(const Access_Table& table) {
    pugi::xml_document doc;
    Build_Document(table, doc);
    return Xml_Raw_Bytes(doc);
}

void Save_Access_File(const QString& path, const Access_Table& table) {
    pugi::xml_document doc;
    Build_Document(table, doc);
    Save_Xml_File(path, doc);
}

Access_Kind Access_Kind_For_DMX(const QString& pargen_path) {
    if (!File_Exists(pargen_path))
        return Access_Kind::Read;
    pugi::xml_document doc;
    Load_Xml_File(pargen_path, doc);
    const std::optional<QString> dmx =
        Element_Text(First_Child_Element(Root_Element(doc), "DMX_DMX"));
    if (!dmx || *dmx == QLatin1String("1"))
        return Access_Kind::Read;
    return Access_Kind::Write;
}
