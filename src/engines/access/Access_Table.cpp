#include "access/Access_Table.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>

namespace {

constexpr Access_Layout Read_Layout{1, 2, 3, 4, 5, 6, 7, 8, -1, -1, 9, 10, 11, 12, 13, 13};
constexpr Access_Layout Write_Layout{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 15};

using E = Access_Editor;

constexpr std::array<Access_Field, 13> Read_Fields{{
    {"Enable", E::Check_Box},
    {"IP_Address", E::Text},
    {"Port", E::Text},
    {"Slave_ID", E::Text},
    {"Type", E::Type_List},
    {"Address", E::Text},
    {"NPoint", E::Text},
    {"PollTime", E::Text},
    {"MaxError", E::Text},
    {"Position", E::Position_List},
    {"Bit", E::Bit_List},
    {"Swap", E::Check_Box},
    {"Mnemonic", E::Text},
}};

constexpr std::array<Access_Field, 15> Write_Fields{{
    {"Enable", E::Check_Box},
    {"IP_Address", E::Text},
    {"Port", E::Text},
    {"Slave_ID", E::Text},
    {"Type", E::Type_List},
    {"Address", E::Text},
    {"NPoint", E::Text},
    {"PollTime", E::Text},
    {"OnChange", E::Check_Box},
    {"OnCMD", E::Check_Box},
    {"MaxError", E::Text},
    {"Position", E::Position_List},
    {"Bit", E::Bit_List},
    {"Swap", E::Check_Box},
    {"Mnemonic", E::Text},
}};

const QString Empty_Text;

} // namespace

const Access_Layout& Layout_Of(Access_Kind kind) {
    return kind == Access_Kind::Read ? Read_Layout : Write_Layout;
}

std::span<const Access_Field> Access_Fields(Access_Kind kind) {
    if (kind == Access_Kind::Read)
        return Read_Fields;
    return Write_Fields;
}

QStringList Access_Type_Names(Access_Kind kind) {
    if (kind == Access_Kind::Read)
        return {QStringLiteral("Coil Status"), QStringLiteral("Input Status"),
                QStringLiteral("Holding Register"), QStringLiteral("Input Register")};
    return {QStringLiteral("Coil Status"), QStringLiteral("Holding Register")};
}

Request_Table::Request_Table(Access_Kind kind)
    : kind_(kind)
    , field_count_(Layout_Of(kind).Field_Count)
    , cells_(static_cast<size_t>(Access_Slot_Count * field_count_)) {
    Reset();
}

const QString& Request_Table::Field(int slot, int field) const {
    if (!Valid_Slot(slot) || field < 1 || field > field_count_)
        return Empty_Text;
    return Cell(slot, field);
}

void Request_Table::Set_Field(int slot, int field, const QString& text) {
    if (!Valid_Slot(slot) || field < 1 || field > field_count_)
        return;
    Cell(slot, field) = text;
}

QStringList Request_Table::Row(int slot) const {
    QStringList row;
    row.reserve(field_count_);
    for (int field = 1; field <= field_count_; ++field)
        row.append(Field(slot, field));
    return row;
}

void Request_Table::Reset() {
    const int enable = Layout().Enable;
    for (int slot = 1; slot <= Access_Slot_Count; ++slot)
        for (int field = 1; field <= field_count_; ++field)
            Cell(slot, field) = field == enable ? QStringLiteral("Y") : QString();
}

void Request_Table::Insert_Row(int Num_Row) {
    if (!Valid_Slot(Num_Row))
        return;
    const auto width = static_cast<size_t>(field_count_);
    const auto begin = cells_.begin() + static_cast<std::ptrdiff_t>((Num_Row - 1) * width);
    // Slots Num_Row..511 move one down; the last slot's content falls off the end.
    std::move_backward(begin, cells_.end() - static_cast<std::ptrdiff_t>(width), cells_.end());
    std::fill(begin, begin + static_cast<std::ptrdiff_t>(width), QString());
}

void Request_Table::Delete_Row(int Num_Row) {
    if (!Valid_Slot(Num_Row))
        return;
    const auto width = static_cast<std::ptrdiff_t>(field_count_);
    const auto begin = cells_.begin() + (Num_Row - 1) * width;
    std::move(begin + width, cells_.end(), begin);
    std::fill(cells_.end() - width, cells_.end(), QString());
}

int Request_Table::Used_Count() const {
    const int ip = Layout().IP_Address;
    int used = 0;
    while (used < Access_Slot_Count && !Trim_Text(Cell(used + 1, ip)).isEmpty())
        ++used;
    return used;
}

bool Request_Table::Is_Enabled(int slot) const {
    return Trim_Text(Field(slot, Layout().Enable)) == QLatin1String("Y");
}

Access_Table::Access_Table() = default;

void Access_Table::Reset_Access_Table() {
    Read.Reset();
    Write.Reset();
}
