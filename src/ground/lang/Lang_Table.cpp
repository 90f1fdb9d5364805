#include "lang/Lang_Table.h"

void Lang_Table::Load_Default_Texts() {
    texts_.clear();
    language_ = QStringLiteral("English");
    texts_.reserve(Default_Count);
    for (int i = 0; i < Default_Count; ++i)
        texts_.append(QStringLiteral(" "));
    for (const auto& [index, text] : Default_Text_Entries())
        texts_[index] = QString::fromUtf8(text);
}

QString Lang_Table::Text(int index) const {
    if (index < 0 || index >= texts_.size())
        return QString();
    return texts_[index];
}

void Lang_Table::Set_Text(int index, const QString& text) {
    if (index >= 0 && index < texts_.size())
        texts_[index] = text;
}

bool Is_Shown_Entry(int index) {
    static const std::pair<int, int> never_shown[] = {
        {407, 411}, {415, 427}, {430, 443}, {668, 668},
        {800, 801}, {804, 805}, {807, 813}, {825, 831},
    };
    for (const auto& [first, last] : never_shown)
        if (index >= first && index <= last)
            return false;
    for (const auto& entry : Default_Text_Entries())
        if (entry.first == index)
            return true;
    return false;
}
