#pragma once

#include "platform/Messages.h"

class Lang_Table;

// The message boxes of the desktop. Their titles come from the string table when there is one
// (entries 981-984), so that they follow the language like the messages; their buttons are Qt's
// own, in the language of Qt's translation.
class Qt_Messages final : public Messages {
public:
    explicit Qt_Messages(const Lang_Table* lang = nullptr)
        : lang_(lang) {}
    void Error(QWidget* parent, const QString& text) override;
    void Warning(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text) override;
    void Information(QWidget* parent, const QString& text) override;

private:
    QString Title(int index, const char* english) const;

    const Lang_Table* lang_;
};
