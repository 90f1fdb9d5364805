#include "report/Report_Data.h"

#include "comm/Comm_Settings.h"
#include "comm/DMX_Default_Table.h"
#include "image/Bank_Layout.h"
#include "image/Bank_Text.h"
#include "image/Image_Loaders.h"
#include "image/USaveBincc.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Xml.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <map>
#include <memory>

namespace {

// Attributes that files of older versions lack, with the text the access editor gives them.
QString Missing_Attribute(Access_Kind kind, const char* attribute) {
    const QLatin1String name(attribute);
    if (name == QLatin1String("Enable"))
        return QStringLiteral("Y");
    if (name == QLatin1String("Swap") ||
        (kind == Access_Kind::Write && name == QLatin1String("OnCMD")))
        return QStringLiteral("N");
    return QString();
}

// Every row of the section the device uses, as texts: the report shows a file that the editor
// would refuse (more rows than its table, an attribute missing) as it stands.
std::vector<Report_Request> Read_Request_Rows(const QString& path, Access_Kind kind) {
    std::vector<Report_Request> rows;
    if (!File_Exists(path))
        return rows;
    pugi::xml_document doc;
    Load_Xml_File(path, doc);
    const pugi::xml_node section = First_Child_Element(
        Root_Element(doc), kind == Access_Kind::Read ? "Modbus_Read" : "Modbus_Write");
    const auto fields = Access_Fields(kind);
    const int enable = Layout_Of(kind).Enable;
    int number = 0;
    for (pugi::xml_node node = section.first_child(); node; node = node.next_sibling()) {
        ++number;
        if (node.type() != pugi::node_element)
            continue;
        Report_Request row;
        row.Row = number;
        for (const Access_Field& field : fields)
            row.Fields.append(Attribute_Text(node, field.attribute)
                                  .value_or(Missing_Attribute(kind, field.attribute)));
        row.Enabled = row.Fields[enable - 1].trimmed() == QLatin1String("Y");
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

Report_Data Collect_Report_Data(const QString& project_dir, const QDateTime& made,
                                const Lang_Table& lang) {
    if (project_dir.isEmpty() || !Folder_Exists(project_dir))
        throw Tessaro_Error(
            QStringLiteral("The configuration folder \"%1\" does not exist").arg(project_dir));
    Report_Data data;
    data.Folder = project_dir;
    data.Name = QFileInfo(QFileInfo(project_dir).absoluteFilePath()).fileName();
    data.Made = made;
    const Project_Files files = Project_Files::In_Folder(project_dir);

    // The settings and DMX values as the device gets them; these readers refuse only a file that
    // is not XML.
    const auto image = std::make_unique<Image_Record>();
    Set_Image_Defaults(*image);
    Clear_Image_DMX_Defaults(*image);
    Load_Image_Settings(*image, files.ParGen_File);
    Load_Image_DMX_Defaults(*image, files.DMX_Default_Values_File);
    data.ParGen_Present = File_Exists(files.ParGen_File);
    data.Settings = image->Settings;
    data.DMX_Out = image->DMX_Out;
    data.DMX_Defaults = image->DMX_Default_Bytes;
    data.Gateway_Enabled =
        data.ParGen_Present && Load_Comm_Settings(files.ParGen_File).Gateway_Enabled();
    data.Channel_Count = data.Settings.DMX_IN_Channels != 0 ? data.Settings.DMX_IN_Channels
                                                            : data.Settings.DMX_OUT_Channels;
    data.Kind = data.DMX_Out ? Access_Kind::Read : Access_Kind::Write;
    data.Requests = Read_Request_Rows(files.ModbusTCPM_SetAccess_File, data.Kind);

    // The map, as the channel map window shows the saved files.
    try {
        data.Map = Load_Channel_Map(project_dir, lang);
    } catch (const Tessaro_Error& error) {
        data.Map_Error = error.Message();
    }

    // The whole image, with the rows its requests came from.
    std::vector<Request_Source> sources;
    Bank_Buffer buffer;
    try {
        Compile_Bank(files, *image, buffer, &sources);
        data.Image = buffer.Used_Bytes();
        data.Settings = image->Settings;
    } catch (const Tessaro_Error& error) {
        data.Bank = Bank_State::Not_Compiled;
        data.Compile_Error = error.Message();
    }
    if (!data.Image.isEmpty()) {
        std::map<int, int> entry_of_row;
        for (std::size_t i = 0; i < sources.size(); ++i)
            entry_of_row[sources[i].Row] = static_cast<int>(i);
        for (Report_Request& row : data.Requests) {
            const auto it = entry_of_row.find(row.Row);
            row.Entry = it == entry_of_row.end() ? -1 : it->second;
            row.Enabled = row.Entry >= 0;
        }
        data.Checksum =
            Read_Settings_Element(data.Image, Settings_Field_Of(Settings_Source::Checksum), 0);

        const QString bank_path = Bank_File_Path(project_dir);
        if (!QFileInfo::exists(bank_path)) {
            data.Bank = Bank_State::Missing;
        } else {
            const QByteArray bank = Read_File_Bytes(bank_path);
            data.Bank = bank == data.Image ? Bank_State::Current : Bank_State::Older;
            if (data.Bank == Bank_State::Current)
                data.Bank_Sha256 = QString::fromLatin1(
                    QCryptographicHash::hash(bank, QCryptographicHash::Sha256).toHex());
        }
    }
    return data;
}
