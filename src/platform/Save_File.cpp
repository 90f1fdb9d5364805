#include "platform/Save_File.h"

#include "platform/Error.h"
#include "platform/Files.h"

bool Save_Project_File(Messages& messages, QWidget* parent, const QString& path,
                       bool& keep_unreadable_file, const std::function<void()>& save) {
    if (keep_unreadable_file && File_Exists(path)) {
        if (const auto reason = Keep_Backup(path)) {
            messages.Error(parent, QStringLiteral("%1: the file that could not be read cannot be "
                                                  "kept as %1.bak: %2\n\nNothing was saved.")
                                       .arg(File_Display_Name(path), *reason));
            return false;
        }
    }
    try {
        save();
    } catch (const Tessaro_Error& error) {
        messages.Error(parent, error.Message());
        return false;
    }
    keep_unreadable_file = false;
    return true;
}
