#include "lang/Error_Texts.h"

QString File_Problem_Text(const File_Problem& problem, const Lang_Table& lang) {
    // One pass of arg(): a name or a reason that holds "%2" is never taken for a place holder.
    switch (problem.kind) {
    case File_Problem::Kind::Not_Well_Formed:
        return lang[976].arg(problem.file, QString::number(problem.line),
                             QString::number(problem.column), problem.reason);
    case File_Problem::Kind::Cannot_Be_Written:
        return lang[977].arg(problem.file, problem.reason);
    case File_Problem::Kind::Cannot_Be_Read:
        break;
    }
    return lang[975].arg(problem.file, problem.reason);
}

QString Error_Message(const Tessaro_Error& error, const Lang_Table& lang) {
    if (const auto& problem = error.Problem())
        return File_Problem_Text(*problem, lang);
    return error.Message();
}
