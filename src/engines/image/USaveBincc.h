#pragma once

#include <QByteArray>
#include <QString>

#include "image/Bank_Layout.h"
#include "image/Image_Loaders.h"
#include "image/Image_Record.h"

struct App_State;

// The three project files that a compile reads.
struct Project_Files {
    QString ParGen_File;
    QString DMX_Default_Values_File;
    QString ModbusTCPM_SetAccess_File;

    // The files of the configuration in this folder.
    static Project_Files In_Folder(const QString& project_dir);
    // The files of the open configuration.
    static Project_Files Of(const App_State& state);
};

// project_dir + "/bin/bank.bin"
QString Bank_File_Path(const QString& project_dir);

// Rebuilds the image record from the three files and serialises it into the buffer: the request
// table, the settings block with its sum and the DMX default block, 35328 bytes. A file that
// cannot be read ends the compile with a Tessaro_Error; the buffer is then not complete. With
// sources, the row and mnemonic of each request entry (see Load_Image_Requests).
void Compile_Bank(const Project_Files& files, Image_Record& image, Bank_Buffer& buffer,
                  std::vector<Request_Source>* sources = nullptr);
// The same for the open configuration; its folder must exist.
void Compile_Bank(const App_State& state, Image_Record& image, Bank_Buffer& buffer);

// Writes the used bytes of the buffer to project_dir/bin/bank.bin in one atomic step, creating a
// missing bin folder. Throws Tessaro_Error naming the file and the reason; a failed write leaves
// the previous file whole.
void Save_Bank_File(const QString& project_dir, const Bank_Buffer& buffer);
void Save_Bank_File(const App_State& state, const Bank_Buffer& buffer);

// The image of the configuration in project_dir (the folder of its three files), 35328 bytes.
// Throws Tessaro_Error when the folder does not exist or a file cannot be read.
QByteArray Compile_Configuration(const QString& project_dir);
