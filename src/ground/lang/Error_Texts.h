#pragma once

#include <QString>

#include "lang/Lang_Table.h"
#include "platform/Error.h"

// A file problem in the language of the table; the system's reason and the XML parser's own
// description stay as they are, inside the translated message.
QString File_Problem_Text(const File_Problem& problem, const Lang_Table& lang);

// The message of an error in the language of the table: a file problem is said anew, any other
// error keeps the text it was made with.
QString Error_Message(const Tessaro_Error& error, const Lang_Table& lang);
