#pragma once

#include <QString>
#include <QStringList>

// The languages offered by the options: the language files of the LANGUAGE folder and their
// flag pictures.

// The names of the language files ("English.lng") in folder, sorted ignoring case. Only
// writable regular files ending in ".lng" are taken: folders, links and read-only files are not.
QStringList List_Language_Files(const QString& folder);

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
