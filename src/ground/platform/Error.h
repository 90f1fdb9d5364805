#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

// What went wrong with a file, in parts, so that a window can say it in the user's language.
struct File_Problem {
    enum class Kind { Cannot_Be_Read, Not_Well_Formed, Cannot_Be_Written };
    Kind kind = Kind::Cannot_Be_Read;
    QString file;   // the file's name as messages show it
    QString reason; // the system's reason, or the XML parser's own description of the fault
    int line = 0;   // where the parser stopped (from 1), for a file that is not well-formed
    int column = 0;
};

// The problem in English: "ParGen.xml: cannot be read: Permission denied".
inline QString File_Problem_Text(const File_Problem& problem) {
    switch (problem.kind) {
    case File_Problem::Kind::Not_Well_Formed:
        return QStringLiteral("%1: not a well-formed XML file (line %2, column %3): %4")
            .arg(problem.file, QString::number(problem.line), QString::number(problem.column),
                 problem.reason);
    case File_Problem::Kind::Cannot_Be_Written:
        return QStringLiteral("%1: cannot be written: %2").arg(problem.file, problem.reason);
    case File_Problem::Kind::Cannot_Be_Read:
        break;
    }
    return QStringLiteral("%1: cannot be read: %2").arg(problem.file, problem.reason);
}

// An error that ends the current user action. Its text is meant for the user: it names the file,
// where in it, and what was wrong.
class Tessaro_Error : public std::runtime_error {
public:
    explicit Tessaro_Error(const QString& message)
        : std::runtime_error(message.toStdString())
        , message_(message) {}
    // A file problem; its message is the English text of the problem.
    explicit Tessaro_Error(const File_Problem& problem)
        : Tessaro_Error(File_Problem_Text(problem)) {
        problem_ = problem;
    }
    const QString& Message() const { return message_; }
    // The file problem the error reports, when it is one.
    const std::optional<File_Problem>& Problem() const { return problem_; }

private:
    QString message_;
    std::optional<File_Problem> problem_;
};
