#pragma once

#include <QString>
#include <QStringList>

// Fixed texts of the program.
inline constexpr char Software_Version[] = "1.001";
inline constexpr char Main_Title_Text[] =
    "Velmora - Configurator VC40362 - DMX / Modbus TCP Master ";
inline constexpr char SW_Code_Text[] = "VC40362";
inline constexpr char SW_Desc_Text[] = "DMX / Modbus TCP Master - Converter";
inline constexpr char Default_IP_Address[] = "192.168.2.205";

// The one process-wide record of folders, the open configuration, the settings and the texts
// that more than one window needs. Paths are joined with "/".
struct App_State {
    QString Exe_Dir;
    // True for an installed program: its working folders lie in the per-user data folder
    // Data_Dir, and its shipped languages in Shipped_Language_Dir. In a program folder Data_Dir
    // is Exe_Dir and Shipped_Language_Dir is empty.
    bool Installed = false;
    QString Data_Dir;
    QString Shipped_Language_Dir;
    QString Master_Dir;
    QString Projects_Dir;
    QString Language_Dir;

    // The open configuration; Project_Dir is empty when none is open.
    QString Project_Name;
    QString Project_Dir;

    QString ParGen_File;
    QString DMX_Default_Values_File;
    QString ModbusTCPM_SetAccess_File;

    QString Main_Title;
    QString SW_Code;
    QString SW_Desc;

    // Remembered by the update dialog.
    QString Last_IP_Address = QString::fromLatin1(Default_IP_Address);
    int Update_Option_Index = 0;
    bool Update_Read_Back = false;

    QString Language = QStringLiteral("English");
    QString Lang_Version = QStringLiteral("NO VER.");

    bool Enable_Internet = false;
    bool Enable_Update = false;
    bool Enable_Jump_Field_Tables = false;
    bool Double_Click_Auto_Size = false;

    // The three project file paths of the open configuration.
    void Set_Files();
    // Folder paths below the data folder (Exe_Dir in a program folder).
    QString Project_Folder(const QString& name) const { return Projects_Dir + '/' + name; }
    QString Data_Folder() const { return Data_Dir.isEmpty() ? Exe_Dir : Data_Dir; }
    QString Settings_File() const { return Data_Folder() + QStringLiteral("/Tessaro.xml"); }
    // The folders that offer language files and flags, the user's first (a file of the same
    // name there wins): LANGUAGE, then the shipped languages of an installed program.
    QStringList Language_Folders() const;
};
