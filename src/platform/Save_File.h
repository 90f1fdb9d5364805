#pragma once

#include <QString>
#include <functional>

#include "platform/Messages.h"

// Saves a project file from a dialog. When the file on disk could not be read when the dialog
// opened (keep_unreadable_file), it is first kept beside itself as "<name>.bak", so that nothing
// the user had is lost; the flag is cleared once the new file is written. Any failure is shown in
// an error box and gives false: the dialog then stays open with its entries.
bool Save_Project_File(Messages& messages, QWidget* parent, const QString& path,
                       bool& keep_unreadable_file, const std::function<void()>& save);
