#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "lang/Lang_Table.h"

struct App_State;

// Text of a language file: a byte-order mark selects UTF-8 or UTF-16 (either byte order);
// without one the bytes are UTF-8 when they are valid UTF-8, else Windows-1252.
QString Decode_Text_File(const QByteArray& bytes);
// Lines end at CR, LF or CR LF.
QStringList Split_Text_Lines(const QString& text);

// What one line of a language file did.
struct Lang_Line_Result {
    enum class Kind {
        Ignored,        // not an "STR" line
        Set,            // set entry index to text
        Bad_Index,      // "STR" line whose index field is not a number
        Out_Of_Range,   // index outside the table
        Empty_Text,     // nothing after "="
        Empty_After_Cut // the text is empty once the "/#/" comment is cut away
    };
    Kind kind = Kind::Ignored;
    int index = -1;
    QString text;
};

// The state that runs through the lines of one file.
struct Lang_File_State {
    bool version_found = false;
    QString version;
};

// Applies one line to the table and tests it for the version line.
Lang_Line_Result Apply_Lang_Line(Lang_Table& table, const QString& line, Lang_File_State& state);

// Applies a language file over the table as it stands. lang_version takes the file's version
// when it has a version line. False when the file cannot be read (the table is then unchanged).
bool Load_Lang_File(Lang_Table& table, const QString& path, QString& lang_version);

// The path of "<language>.lng" in the first of folders that holds it (the user's folder comes
// first, so a user's file wins over a shipped one of the same name); empty when none does.
QString Find_Language_File(const QStringList& folders, const QString& language);

// Defaults, then the file of the current language, falling back to English when that file is
// missing. The files are looked for in the state's language folders (App_State::Language_Folders).
void Init_Language(App_State& state, Lang_Table& table);
