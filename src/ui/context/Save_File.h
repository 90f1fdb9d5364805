#pragma once

#include <QString>
#include <functional>

#include "platform/File_Fingerprint.h"
#include "platform/Messages.h"

class Lang_Table;

// Saves a project file from a dialog. When the file on disk is no longer the one the dialog read
// (loaded: another program changed, removed or created it), the user is asked first: No keeps
// the other program's change, writes nothing and gives false. When the file could not be read
// when the dialog opened (keep_unreadable_file), it is first kept beside itself as
// "<name>.bak", so that nothing the user had is lost; the flag is cleared once the new file is
// written, and loaded becomes the file as written. Any failure is shown in an error box and gives
// false: the dialog then stays open with its entries.
bool Save_Project_File(Messages& messages, QWidget* parent, const Lang_Table& lang,
                       const QString& path, File_Fingerprint& loaded, bool& keep_unreadable_file,
                       const std::function<void()>& save);

// The question asked before a dialog writes a file that another program changed, removed or
// created since the dialog read it: the file's name, what happened, and what Yes and No do.
QString Changed_File_Question(File_Change change, const QString& path, const Lang_Table& lang);
