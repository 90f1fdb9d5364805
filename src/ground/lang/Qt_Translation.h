#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QTranslator;

// Qt's own texts (the buttons of message boxes, the file dialogs, the context menus of text
// fields) in the language of the string table, from Qt's translation files "qtbase_<code>.qm".

// Qt's code of a shipped language ("Deutsch" gives "de"); empty for English and for a language
// of which Qt has no translation: its Qt texts stay English.
QString Qt_Language_Code(const QString& language);

// Where Qt's translation files are looked for: "translations" beside the executable (the
// Windows program carries them there), then Qt's own translations folder.
QStringList Qt_Translation_Folders(const QString& exe_dir);

// The translation file of a language in the first of folders that holds it; empty when there is
// none (English, a language Qt lacks, or no file installed).
QString Find_Qt_Translation(const QString& language, const QStringList& folders);

// The translation of Qt's texts installed in the application, at most one at a time.
class Qt_Translation {
public:
    Qt_Translation();
    ~Qt_Translation();
    Qt_Translation(const Qt_Translation&) = delete;
    Qt_Translation& operator=(const Qt_Translation&) = delete;

    // Installs the translation of language, in place of the one before; for English, or when
    // no file can be loaded, Qt's texts go back to English. True when a translation is installed.
    bool Apply(const QString& language, const QStringList& folders);
    // The file installed; empty while Qt's texts are English.
    const QString& File() const { return file_; }

private:
    void Remove();

    std::unique_ptr<QTranslator> translator_;
    QString file_;
};
