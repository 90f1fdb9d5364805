#include "report/Configuration_Compare.h"

#include "access/Access_File.h"
#include "image/Bank_Layout.h"
#include "image/Bank_Text.h"
#include "image/USaveBincc.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <set>
#include <utility>

namespace {

using Field_Values = std::vector<std::pair<const char*, std::uint32_t>>;

Field_Values Request_Fields(const Request_Record& record) {
    Field_Values values;
    For_Each_Request_Field(record, [&](const char* name, int, const auto& member) {
        values.emplace_back(name, static_cast<std::uint32_t>(member));
    });
    return values;
}

// The number of request entries an image holds (a foreign image may claim more than the table).
int Request_Count(std::span<const std::uint8_t> bank) {
    const std::uint32_t count =
        Read_Settings_Element(bank, Settings_Field_Of(Settings_Source::Request_Count), 0);
    return static_cast<int>(
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(Request_Table_Entries)));
}

// The stored settings checksum, with the computed one when they disagree.
QString Checksum_Text(std::span<const std::uint8_t> bank, bool& valid) {
    const std::uint32_t stored =
        Read_Settings_Element(bank, Settings_Field_Of(Settings_Source::Checksum), 0);
    const std::uint32_t computed =
        Byte_Sum(bank.subspan(Settings_Block_Offset, Settings_Checksum_Offset));
    valid = stored == computed;
    return valid ? QString::number(stored)
                 : QStringLiteral("%1 (computed %2)").arg(stored).arg(computed);
}

// The first non-blank of two names, for an item that both sides name.
QString Either_Name(const QString& a, const QString& b) {
    return a.trimmed().isEmpty() ? b : a;
}

QString With_Name(const QString& item, const QString& name) {
    return name.trimmed().isEmpty() ? item : QStringLiteral("%1 (%2)").arg(item, name);
}

QString Entry_Mnemonic(const Compare_Input& side, int entry) {
    return side.Folder && entry < static_cast<int>(side.Sources.size())
               ? side.Sources[static_cast<std::size_t>(entry)].Mnemonic
               : QString();
}

void Compare_Settings(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                      std::vector<Difference>& out) {
    for (const Settings_Field& field : Settings_Block_Layout) {
        if (field.Source == Settings_Source::Checksum) {
            // The sum follows the other fields; it tells something of its own only when it does
            // not match the settings it closes.
            bool valid_a = true;
            bool valid_b = true;
            const QString sum_a = Checksum_Text(a, valid_a);
            const QString sum_b = Checksum_Text(b, valid_b);
            if ((!valid_a || !valid_b) && sum_a != sum_b)
                out.push_back({QStringLiteral("settings"), QString(),
                               QString::fromLatin1(field.Name), sum_a, sum_b});
            continue;
        }
        const QString value_a = Settings_Field_Text(a, field);
        const QString value_b = Settings_Field_Text(b, field);
        if (value_a != value_b)
            out.push_back({QStringLiteral("settings"), QString(), QString::fromLatin1(field.Name),
                           value_a, value_b});
    }
}

void Compare_Requests(const Compare_Input& a, const Compare_Input& b,
                      std::vector<Difference>& out) {
    const auto bank_a = Bank_Bytes(a.Bank);
    const auto bank_b = Bank_Bytes(b.Bank);
    const int count_a = Request_Count(bank_a);
    const int count_b = Request_Count(bank_b);
    const QString present = QStringLiteral("present");
    for (int entry = 0; entry < std::max(count_a, count_b); ++entry) {
        const QString item =
            With_Name(QString::number(entry),
                      Either_Name(Entry_Mnemonic(a, entry), Entry_Mnemonic(b, entry)));
        if (entry >= count_b) {
            out.push_back({QStringLiteral("request"), item, QString(), present, std::nullopt});
            continue;
        }
        if (entry >= count_a) {
            out.push_back({QStringLiteral("request"), item, QString(), std::nullopt, present});
            continue;
        }
        const Field_Values fields_a = Request_Fields(Read_Request_Record(bank_a, entry));
        const Field_Values fields_b = Request_Fields(Read_Request_Record(bank_b, entry));
        for (std::size_t i = 0; i < fields_a.size(); ++i)
            if (fields_a[i].second != fields_b[i].second)
                out.push_back({QStringLiteral("request"), item,
                               QString::fromLatin1(fields_a[i].first),
                               Request_Field_Text(fields_a[i].first, fields_a[i].second),
                               Request_Field_Text(fields_b[i].first, fields_b[i].second)});
    }
}

void Compare_DMX(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                 std::vector<Difference>& out) {
    for (std::uint32_t i = 0; i < DMX_Block_Size; ++i) {
        const std::uint8_t value_a = a[DMX_Block_Offset + i];
        const std::uint8_t value_b = b[DMX_Block_Offset + i];
        if (value_a != value_b)
            out.push_back({QStringLiteral("dmx"), QString::number(i + 1), QStringLiteral("default"),
                           QString::number(value_a), QString::number(value_b)});
    }
}

// The rows of a folder's table that the editor shows (its used part) and those that reached
// the image.
struct Table_Rows {
    int Count = 0;
    std::set<int> In_Image;
};

Table_Rows Rows_Of(const Compare_Input& side, Access_Kind kind) {
    Table_Rows rows;
    rows.Count = side.Texts->Access.Table(kind).Used_Count();
    if (kind == side.Used_Kind)
        for (const Request_Source& source : side.Sources)
            if (source.Row <= Access_Slot_Count) {
                rows.In_Image.insert(source.Row);
                rows.Count = std::max(rows.Count, source.Row);
            }
    return rows;
}

void Compare_Table_Texts(const Compare_Input& a, const Compare_Input& b, Access_Kind kind,
                         std::vector<Difference>& out) {
    const Request_Table& table_a = a.Texts->Access.Table(kind);
    const Request_Table& table_b = b.Texts->Access.Table(kind);
    const Table_Rows rows_a = Rows_Of(a, kind);
    const Table_Rows rows_b = Rows_Of(b, kind);
    const int mnemonic = table_a.Layout().Mnemonic;
    const auto fields = Access_Fields(kind);
    const QString table_name =
        kind == Access_Kind::Read ? QStringLiteral("read row %1") : QStringLiteral("write row %1");
    const QString present = QStringLiteral("present");

    for (int row = 1; row <= std::max(rows_a.Count, rows_b.Count); ++row) {
        const bool in_a = row <= rows_a.Count;
        const bool in_b = row <= rows_b.Count;
        const bool image_a = rows_a.In_Image.contains(row);
        const bool image_b = rows_b.In_Image.contains(row);
        const QString item =
            With_Name(table_name.arg(row), Either_Name(in_a ? table_a.Field(row, mnemonic) : "",
                                                       in_b ? table_b.Field(row, mnemonic) : ""));
        if (!in_a || !in_b) {
            // A request that reached the image on its one side is told by the request section.
            if ((in_a && !image_a) || (in_b && !image_b))
                out.push_back({QStringLiteral("files"), item, QString(),
                               in_a ? std::optional(present) : std::nullopt,
                               in_b ? std::optional(present) : std::nullopt});
            continue;
        }
        // A row that the device gets on both sides differs outside the image only in its name.
        for (int field = 1; field <= table_a.Field_Count(); ++field) {
            if (image_a && image_b && field != mnemonic)
                continue;
            const QString& text_a = table_a.Field(row, field);
            const QString& text_b = table_b.Field(row, field);
            if (text_a != text_b)
                out.push_back(
                    {QStringLiteral("files"), item,
                     QString::fromLatin1(fields[static_cast<std::size_t>(field - 1)].attribute),
                     text_a, text_b});
        }
    }
}

void Compare_Files(const Compare_Input& a, const Compare_Input& b, std::vector<Difference>& out) {
    const Folder_Texts& texts_a = *a.Texts;
    const Folder_Texts& texts_b = *b.Texts;

    // The gateway's bytes reach the image only while it is enabled.
    if (!texts_a.Settings.Gateway_Enabled() && !texts_b.Settings.Gateway_Enabled()) {
        const auto& names = Comm_Settings::Element_Names();
        for (int i = 0; i < Comm_Settings::Value_Count; ++i) {
            const QString name = QString::fromLatin1(names[static_cast<std::size_t>(i)]);
            if (name.startsWith(QLatin1String("Modbus_TCP_Master_GAT")) &&
                texts_a.Settings.Value(i) != texts_b.Settings.Value(i))
                out.push_back({QStringLiteral("files"), QStringLiteral("ParGen.xml"), name,
                               texts_a.Settings.Value(i), texts_b.Settings.Value(i)});
        }
    }

    const int channels = std::max(texts_a.DMX.Row_Count(), texts_b.DMX.Row_Count());
    for (int channel = 1; channel <= channels; ++channel) {
        const auto mnemonic = [channel](const DMX_Default_Table& table) -> std::optional<QString> {
            if (channel > table.Row_Count())
                return std::nullopt;
            return table.Rows[static_cast<std::size_t>(channel - 1)].Mnemonic;
        };
        const std::optional<QString> name_a = mnemonic(texts_a.DMX);
        const std::optional<QString> name_b = mnemonic(texts_b.DMX);
        if (name_a.value_or(QString()) != name_b.value_or(QString()))
            out.push_back({QStringLiteral("files"), QStringLiteral("DMX channel %1").arg(channel),
                           QStringLiteral("Mnemonic"), name_a, name_b});
    }

    Compare_Table_Texts(a, b, Access_Kind::Read, out);
    Compare_Table_Texts(a, b, Access_Kind::Write, out);
}

} // namespace

Compare_Input Load_Compare_Input(const QString& path) {
    Compare_Input input;
    input.Path = path;
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        throw Tessaro_Error(QStringLiteral("%1: no such folder or file").arg(shown));

    if (!info.isDir()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Tessaro_Error(
                QStringLiteral("%1: cannot be read: %2").arg(shown, file.errorString()));
        input.Bank = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw Tessaro_Error(
                QStringLiteral("%1: cannot be read: %2").arg(shown, file.errorString()));
        if (input.Bank.size() != static_cast<qsizetype>(Bank_Size))
            throw Tessaro_Error(
                QStringLiteral("%1: not a configuration image: %2 bytes, an image has %3")
                    .arg(shown)
                    .arg(input.Bank.size())
                    .arg(Bank_Size));
        return input;
    }

    input.Folder = true;
    const Project_Files files = Project_Files::In_Folder(path);
    try {
        const auto image = std::make_unique<Image_Record>();
        Bank_Buffer buffer;
        Compile_Bank(files, *image, buffer, &input.Sources);
        input.Bank = buffer.Used_Bytes();
        input.Used_Kind = image->DMX_Out ? Access_Kind::Read : Access_Kind::Write;
    } catch (const Tessaro_Error& error) {
        throw Tessaro_Error(QStringLiteral("%1: %2").arg(shown, error.Message()));
    }
    try {
        auto texts = std::make_shared<Folder_Texts>();
        texts->Settings = Load_Comm_Settings(files.ParGen_File);
        texts->DMX = Load_DMX_Defaults(files.ParGen_File, files.DMX_Default_Values_File);
        Load_Access_File(files.ModbusTCPM_SetAccess_File, texts->Access);
        input.Texts = std::move(texts);
    } catch (const Tessaro_Error& error) {
        input.Texts_Error = QStringLiteral("%1: %2").arg(shown, error.Message());
    }
    return input;
}

std::vector<Difference> Compare_Configurations(const Compare_Input& a, const Compare_Input& b) {
    std::vector<Difference> out;
    const auto bank_a = Bank_Bytes(a.Bank);
    const auto bank_b = Bank_Bytes(b.Bank);
    if (bank_a.size() != Bank_Size || bank_b.size() != Bank_Size)
        throw std::invalid_argument("compare needs two images of the size of an image");
    Compare_Settings(bank_a, bank_b, out);
    Compare_Requests(a, b, out);
    Compare_DMX(bank_a, bank_b, out);
    if (a.Folder && b.Folder && a.Texts && b.Texts)
        Compare_Files(a, b, out);
    return out;
}

QString Difference_Line(const Difference& d) {
    QString head;
    QString separator = QStringLiteral(": ");
    if (d.Section == QLatin1String("settings"))
        head = d.Section;
    else if (d.Section == QLatin1String("request"))
        head = QStringLiteral("request ") + d.Item;
    else if (d.Section == QLatin1String("dmx")) {
        head = QStringLiteral("DMX channel ") + d.Item;
        separator = QStringLiteral(" ");
    } else
        head = d.Section + QStringLiteral(": ") + d.Item;

    if (d.Field.isEmpty())
        return head + (d.A ? QStringLiteral(": only in A") : QStringLiteral(": only in B"));
    // Texts of the files are quoted, so that blanks and empty texts show.
    const bool quoted = d.Section == QLatin1String("files");
    const auto value = [quoted](const std::optional<QString>& v) {
        if (!v)
            return QStringLiteral("(none)");
        return quoted ? QLatin1Char('"') + *v + QLatin1Char('"') : *v;
    };
    return head + separator + d.Field + QLatin1Char(' ') + value(d.A) + QStringLiteral(" -> ") +
           value(d.B);
}
