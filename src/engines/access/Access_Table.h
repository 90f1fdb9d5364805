#pragma once

#include <QString>
#include <QStringList>
#include <span>
#include <vector>

// The Modbus TCP requests of the converter: the read table (slave data into the converter's data
// array, used with DMX OUT) and the write table (array data out to the slaves, used with DMX IN).
// Each table has 512 slots numbered from 1; every field is held as the text the user typed or
// chose, with no trimming and no conversion.

enum class Access_Kind { Read, Write };

inline constexpr int Access_Slot_Count = 512;

// How a field is edited in the window.
enum class Access_Editor { Text, Check_Box, Type_List, Position_List, Bit_List };

struct Access_Field {
    const char* attribute; // the attribute of a row in ModbusTCPM_SetAccess.xml
    Access_Editor editor;
};

// Field numbers of a table, which are also its column numbers in the window (column 0 is the
// slot number N, shown but never stored). Fields that a table does not have are -1.
struct Access_Layout {
    int Enable;
    int IP_Address;
    int Port;
    int Slave_ID;
    int Type;
    int Address;
    int NPoint;
    int PollTime;
    int OnChange; // write table only
    int OnCMD;    // write table only; never shown in the window
    int MaxError;
    int Position;
    int Bit;
    int Swap;
    int Mnemonic;
    int Field_Count; // 13 or 15
};

const Access_Layout& Layout_Of(Access_Kind kind);

// The fields of a table in column and attribute order: item 0 is field 1 (Enable).
std::span<const Access_Field> Access_Fields(Access_Kind kind);

// The choices of the Type drop-down, as stored in the file.
QStringList Access_Type_Names(Access_Kind kind);

// One of the two request tables.
class Request_Table {
public:
    explicit Request_Table(Access_Kind kind);

    Access_Kind Kind() const { return kind_; }
    const Access_Layout& Layout() const { return Layout_Of(kind_); }
    int Field_Count() const { return field_count_; }
    // Columns in the window: N and the fields.
    int Column_Count() const { return field_count_ + 1; }

    // slot 1..512, field 1..Field_Count(); outside that an empty text, and setting does nothing.
    const QString& Field(int slot, int field) const;
    void Set_Field(int slot, int field, const QString& text);
    // Fields 1..Field_Count() of a slot.
    QStringList Row(int slot) const;

    // Every slot empty with Enable "Y".
    void Reset();
    // Opens an empty slot (Enable empty too) at Num_Row; the content of slot 512 is lost.
    void Insert_Row(int Num_Row);
    // Removes the content of Num_Row and moves the following slots up; slot 512 ends empty.
    void Delete_Row(int Num_Row);

    // The used part: the number of leading slots whose trimmed Slave IP Address is not empty.
    // The table ends at the first slot without one; later slots are neither saved nor checked.
    int Used_Count() const;
    // Enabled: the trimmed Enable text is exactly "Y".
    bool Is_Enabled(int slot) const;

private:
    QString& Cell(int slot, int field) {
        return cells_[static_cast<size_t>((slot - 1) * field_count_ + field - 1)];
    }
    const QString& Cell(int slot, int field) const {
        return cells_[static_cast<size_t>((slot - 1) * field_count_ + field - 1)];
    }
    static bool Valid_Slot(int slot) { return slot >= 1 && slot <= Access_Slot_Count; }

    Access_Kind kind_;
    int field_count_;
    std::vector<QString> cells_; // slot by slot, field by field
};

// Both tables of the converter's Modbus TCP master.
class Access_Table {
public:
    Access_Table();

    Request_Table& Table(Access_Kind kind) { return kind == Access_Kind::Read ? Read : Write; }
    const Request_Table& Table(Access_Kind kind) const {
        return kind == Access_Kind::Read ? Read : Write;
    }

    // Both tables empty: in every slot Enable "Y" and every other field empty.
    void Reset_Access_Table();
    void Insert_Row(int Num_Row, Access_Kind kind) { Table(kind).Insert_Row(Num_Row); }
    void Delete_Row(int Num_Row, Access_Kind kind) { Table(kind).Delete_Row(Num_Row); }

    Request_Table Read{Access_Kind::Read};
    Request_Table Write{Access_Kind::Write};
};
