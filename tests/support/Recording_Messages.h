#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

#include "platform/Messages.h"

// Records every message box instead of showing it; questions are answered from a script.
class Recording_Messages : public Messages {
public:
    enum class Kind { Error, Warning, Confirm, Information };
    struct Entry {
        Kind kind;
        QString text;
    };

    void Error(QWidget*, const QString& text) override { record.push_back({Kind::Error, text}); }
    void Warning(QWidget*, const QString& text) override {
        record.push_back({Kind::Warning, text});
    }
    void Information(QWidget*, const QString& text) override {
        record.push_back({Kind::Information, text});
    }
    bool Confirm(QWidget*, const QString& text) override {
        record.push_back({Kind::Confirm, text});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The texts of the recorded messages, in order.
    QStringList Texts() const {
        QStringList texts;
        for (const Entry& entry : record)
            texts.append(entry.text);
        return texts;
    }
    void Clear() {
        record.clear();
        answers.clear();
    }

    std::vector<Entry> record;
    // Answers to the next questions, true for Yes.
    std::deque<bool> answers;
};
