#include "lang/Qt_Translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

QString Qt_Language_Code(const QString& language) {
    // The languages the program ships; a language file of another name keeps Qt's English.
    static const std::pair<const char*, const char*> codes[] = {
        {"Italiano", "it"},
        {"Deutsch", "de"},
        {"Fran\u00e7ais", "fr"},
        {"Espa\u00f1ol", "es"},
    };
    for (const auto& [name, code] : codes)
        if (language == QString::fromUtf8(name))
            return QString::fromLatin1(code);
    return QString();
}

QStringList Qt_Translation_Folders(const QString& exe_dir) {
    QStringList folders;
    if (!exe_dir.isEmpty())
        folders.append(exe_dir + QStringLiteral("/translations"));
    const QString qt = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!qt.isEmpty() && !folders.contains(qt))
        folders.append(qt);
    return folders;
}

QString Find_Qt_Translation(const QString& language, const QStringList& folders) {
    const QString code = Qt_Language_Code(language);
    if (code.isEmpty())
        return QString();
    for (const QString& folder : folders) {
        const QString path = folder + QStringLiteral("/qtbase_") + code + QStringLiteral(".qm");
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

Qt_Translation::Qt_Translation() = default;

Qt_Translation::~Qt_Translation() {
    Remove();
}

bool Qt_Translation::Apply(const QString& language, const QStringList& folders) {
    const QString file = Find_Qt_Translation(language, folders);
    if (!file.isEmpty() && file == file_)
        return true;
    Remove();
    if (file.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file))
        return false;
    if (QCoreApplication::instance())
        QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
    file_ = file;
    return true;
}

void Qt_Translation::Remove() {
    if (translator_ && QCoreApplication::instance())
        QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
    file_.clear();
}
