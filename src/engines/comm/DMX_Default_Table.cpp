#include "comm/DMX_Default_Table.h"

#include "lang/Error_Texts.h"
#include "lang/Lang_Table.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Int_Conv.h"
#include "platform/Xml.h"

#include <algorithm>

namespace {

// Fills the rows by position from the children of the file's first element.
void Fill_Rows(const QString& values_path, DMX_Default_Table& table) {
    pugi::xml_document doc;
    Load_Xml_File(values_path, doc);
    const pugi::xml_node root = Root_Element(doc);
    int row = 0;
    for (pugi::xml_node child = root.first_child(); child && row < table.Row_Count();
         child = child.next_sibling(), ++row) {
        DMX_Default_Row& target = table.Rows[static_cast<size_t>(row)];
        if (auto value = Attribute_Text(child, "Default_Value"))
            target.Default_Value = *value;
        if (auto mnemonic = Attribute_Text(child, "Mnemonic"))
            target.Mnemonic = *mnemonic;
    }
}

} // namespace

DMX_Default_Table DMX_Default_Table::With_Channels(int channel_count) {
    DMX_Default_Table table;
    table.Rows.resize(static_cast<size_t>(std::clamp(channel_count, 0, Max_Channels)));
    return table;
}

int Load_DMX_Channel_Count(const QString& pargen_path) {
    if (!File_Exists(pargen_path))
        return DMX_Default_Table::Max_Channels;
    pugi::xml_document doc;
    Load_Xml_File(pargen_path, doc);
    const auto text = Element_Text(First_Child_Element(Root_Element(doc), "DMX_Num_Channels"));
    return text ? To_Int(*text, DMX_Default_Table::Max_Channels) : DMX_Default_Table::Max_Channels;
}

DMX_Default_Table Load_DMX_Defaults(const QString& pargen_path, const QString& values_path) {
    DMX_Default_Table table = DMX_Default_Table::With_Channels(Load_DMX_Channel_Count(pargen_path));
    if (File_Exists(values_path))
        Fill_Rows(values_path, table);
    return table;
}

DMX_Default_Table Load_DMX_Defaults(const QString& pargen_path, const QString& values_path,
                                    DMX_Load_Problems& problems, const Lang_Table* lang) {
    const auto message = [lang](const Tessaro_Error& error) {
        return lang ? Error_Message(error, *lang) : error.Message();
    };
    problems = {};
    int count = DMX_Default_Table::Max_Channels;
    try {
        count = Load_DMX_Channel_Count(pargen_path);
    } catch (const Tessaro_Error& error) {
        problems.ParGen_Error = message(error);
    }
    DMX_Default_Table table = DMX_Default_Table::With_Channels(count);
    if (!File_Exists(values_path))
        return table;
    try {
        Fill_Rows(values_path, table);
    } catch (const Tessaro_Error& error) {
        problems.Values_Error = message(error);
        table = DMX_Default_Table::With_Channels(count);
    }
    return table;
}

QByteArray DMX_Defaults_Bytes(const DMX_Default_Table& table) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("DMX_Default_Values");
    doc.append_child(pugi::node_comment).set_value(Project_File_Comment);
    for (const DMX_Default_Row& row : table.Rows) {
        pugi::xml_node element = root.append_child("Row");
        Set_Attribute(element, "Default_Value", row.Default_Value);
        Set_Attribute(element, "Mnemonic", row.Mnemonic);
    }
    return Xml_Raw_Bytes(doc);
}

void Save_DMX_Defaults(const QString& path, const DMX_Default_Table& table) {
    if (const auto error = Write_File_Atomic(path, DMX_Defaults_Bytes(table)))
        throw Tessaro_Error(
            File_Problem{File_Problem::Kind::Cannot_Be_Written, File_Display_Name(path), *error});
}

std::vector<int> DMX_Failing_Rows(const DMX_Default_Table& table) {
    std::vector<int> rows;
    for (int r = 0; r < table.Row_Count(); ++r) {
        const int value = To_Int(table.Rows[static_cast<size_t>(r)].Default_Value, -1);
        if (value < 0 || value > 255)
            rows.push_back(r + 1);
    }
    return rows;
}

QString DMX_Row_Message(int row, const Lang_Table& lang) {
    return lang.Text(507) + QString::number(row) + lang.Text(508);
}

std::optional<QString> Controllo_dati(const DMX_Default_Table& table, const Lang_Table& lang) {
    for (int r = 0; r < table.Row_Count(); ++r) {
        const int value = To_Int(table.Rows[static_cast<size_t>(r)].Default_Value, -1);
        if (value < 0 || value > 255)
            return DMX_Row_Message(r + 1, lang);
    }
    return std::nullopt;
}

QStringList DMX_Failure_Messages(const DMX_Default_Table& table, const Lang_Table& lang) {
    QStringList messages;
    for (const int row : DMX_Failing_Rows(table))
        messages.append(DMX_Row_Message(row, lang));
    return messages;
}
