#pragma once

#include <QString>
#include <QStringList>

// The languages offered by the options: the language files of the LANGUAGE folder and their
// flag pictures. An installed program offers the languages of two folders, the user's LANGUAGE
// folder first and then the shipped one; a file in the user's folder wins over a shipped file of
// the same name.

// The names of the language files ("English.lng") in folder, sorted ignoring case. Only
// writable regular files ending in ".lng" are taken: folders, links and read-only files are not.
QStringList List_Language_Files(const QString& folder);
// The same over several folders, each name once: a name is taken from the first folder that
// holds a file of that name, by the rules above, and the whole list is sorted.
QStringList List_Language_Files(const QStringList& folders);

// The language of a list item: its file name without the ".lng".
QString Language_Name(const QString& file_name);

// Languages per page of the options and the number of pages for count languages.
inline constexpr int Languages_Per_Page = 6;
inline int Language_Page_Count(int count) {
    return (count + Languages_Per_Page - 1) / Languages_Per_Page;
}

// The flag pictures to try for a language, in order: "<language>.bmp", then "DefaultFlag.bmp",
// each only when the file exists.
QStringList Flag_Files(const QString& folder, const QString& language);
// The same over several folders: "<language>.bmp" from the folder of the language's file first,
// then from the other folders, then "DefaultFlag.bmp" from each folder in order.
QStringList Flag_Files(const QStringList& folders, const QString& language);
