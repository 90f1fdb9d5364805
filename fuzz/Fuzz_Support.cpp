#include "Fuzz_Support.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir>& Folder() {
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

const QString& Fuzz_Folder() {
    static const QString path = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        Folder() = std::make_unique<QTemporaryDir>(base + QStringLiteral("/tessaro-fuzz-XXXXXX"));
        if (!Folder()->isValid()) {
            std::fprintf(stderr, "fuzz: cannot make a temporary folder in %s\n", qPrintable(base));
            std::abort();
        }
        // Removed at a normal end of the run; a finding leaves it for a look.
        std::atexit([] { Folder().reset(); });
        return Folder()->path();
    }();
    return path;
}

QString Write_Fuzz_File(const QString& name, const QByteArray& bytes) {
    const QString path = Fuzz_Folder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

QString Remove_Fuzz_File(const QString& name) {
    const QString path = Fuzz_Folder() + QLatin1Char('/') + name;
    QFile::remove(path);
    return path;
}

QString Xml_Text_Read_Back(const QString& text) {
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            return text;
    return QString();
}

QString Shown(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != QLatin1Char('\\'))
            shown.append(c);
        else
            shown.append(QStringLiteral("\\u{%1}").arg(c.unicode(), 4, 16, QLatin1Char('0')));
    }
    return shown;
}

void Fuzz_Fail(const char* condition, const char* file, int line, const QString& detail) {
    std::fprintf(stderr, "\nFUZZ PROPERTY BROKEN at %s:%d: %s\n%s\n", file, line, condition,
                 qPrintable(detail));
    std::abort();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A locale with a decimal comma, so that no conversion may depend on the locale.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    qInstallMessageHandler(Quiet);
    Fuzz_Folder();
    return 0;
}

const Lang_Table& English_Texts() {
    static const Lang_Table table = [] {
        Lang_Table t;
        t.Load_Default_Texts();
        return t;
    }();
    return table;
}
