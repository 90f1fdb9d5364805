#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The numbered texts of every caption, hint and message, English by default; a language file
// replaces any of them.
class Lang_Table {
public:
    static constexpr int Default_Count = 1000;

    // Empties the table and fills it with the 1000 English texts (" " where there is none).
    void Load_Default_Texts();

    int Lang_Count() const { return static_cast<int>(texts_.size()); }
    // The text at index; an empty text outside the table.
    QString Text(int index) const;
    QString operator[](int index) const { return Text(index); }
    void Set_Text(int index, const QString& text);
    const QStringList& Texts() const { return texts_; }

    // The language whose file filled the table ("English" for the defaults); the program's own
    // texts of Qt follow it.
    const QString& Language() const { return language_; }
    void Set_Language(const QString& language) { language_ = language; }

private:
    QStringList texts_;
    QString language_ = QStringLiteral("English");
};

// The English texts that are not a single blank, by index.
const std::vector<std::pair<int, const char*>>& Default_Text_Entries();

// True for the entries that a window shows: every entry with an English text but those of the
// controls the program never displays (the Modbus TCP slave group of the communication settings,
// the hidden On CMD column hint and the serial, USB and device search parts of the update dialog).
bool Is_Shown_Entry(int index);
