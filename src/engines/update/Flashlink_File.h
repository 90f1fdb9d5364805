#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <pugixml.hpp>

struct App_State;

// The parameter file of the device updater, Flashlink.xml beside the executable: the device
// address and the operations (firmware and/or configuration image) that the updater carries out.

// What the update dialog hands to the updater.
struct Flashlink_Request {
    // The device address: the four address boxes joined with ".", as typed.
    QString IP_Address;
    // 0 firmware and configuration, 1 firmware only, 2 configuration only.
    int Update_Option = 0;
    bool Read_Back = false;
    QString Master_Dir;  // holds the firmware Fw40362.sim
    QString Project_Dir; // holds bin/bank.bin
};

// Full native paths of the two files that the updater transfers.
QString Firmware_File_Path(const QString& master_dir);
QString Bank_File_Full_Path(const QString& project_dir);

// Flashlink.xml and the updater program (Flashlink.exe on Windows, Flashlink elsewhere) beside
// the executable.
QString Flashlink_File_Path(const QString& exe_dir);
QString Updater_Program_Path(const QString& exe_dir);
// The updater's file name: Flashlink.exe on Windows, Flashlink elsewhere.
QString Updater_Program_Name();

// Where an update finds the updater and writes its parameter file. The updater is looked for
// beside the executable, then (an installed program) in the per-user data folder. Flashlink.xml
// goes beside the updater found, where the updater reads it; when none is found, beside the
// executable of a program folder or into the data folder of an installed program (never into
// the installed program's bin folder).
struct Updater_Lookup {
    QStringList Searched;   // the folders looked in, in order
    QString Program;        // the updater found; empty when none was
    QString Parameter_File; // where Flashlink.xml is written
    bool Found() const { return !Program.isEmpty(); }
};
Updater_Lookup Find_Updater(const QStringList& folders, const QString& fallback_folder);
Updater_Lookup Find_Updater(const App_State& state);

// Builds the document from scratch into doc.
void Build_Flashlink_Document(const Flashlink_Request& request, pugi::xml_document& doc);
// The file's bytes: no declaration, no indentation.
QByteArray Flashlink_Bytes(const Flashlink_Request& request);
// Replaces the file atomically; throws Tessaro_Error naming the file and the reason.
void Write_Flashlink_File(const QString& path, const Flashlink_Request& request);
