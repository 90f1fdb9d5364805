#include "context/Save_File.h"

#include "lang/Error_Texts.h"
#include "lang/Lang_Table.h"
#include "platform/Error.h"
#include "platform/Files.h"

bool Save_Project_File(Messages& messages, QWidget* parent, const Lang_Table& lang,
                       const QString& path, File_Fingerprint& loaded, bool& keep_unreadable_file,
                       const std::function<void()>& save) {
    const File_Change change = File_Change_Since(loaded, path);
    if (change != File_Change::None &&
        !messages.Confirm(parent, Changed_File_Question(change, path, lang)))
        return false;
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
        messages.Error(parent, Error_Message(error, lang));
        return false;
    }
    keep_unreadable_file = false;
    loaded = Take_File_Fingerprint(path);
    return true;
}

QString Changed_File_Question(File_Change change, const QString& path, const Lang_Table& lang) {
    const int what = change == File_Change::Removed   ? 781
                     : change == File_Change::Created ? 782
                                                      : 780;
    return lang[what] + File_Display_Name(path) + QStringLiteral("\n\n") + lang[783] +
           QLatin1Char('\n') + lang[784];
}
