#include "widgets/Styled_Button.h"

#include "widgets/Look.h"

#include <QDialog>

Styled_Button::Styled_Button(QWidget* parent, const char* name)
    : QPushButton(parent) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
    setIconSize(QSize(20, 20));
    Update_Style();
    connect(this, &QPushButton::clicked, this, [this] {
        if (modal_result_ == No_Result)
            return;
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(modal_result_);
    });
}

void Styled_Button::Set_Hint(const QString& hint) {
    look::Set_Hint(this, hint);
}

QString Styled_Button::Hint() const {
    return look::Hint_Of(this);
}

void Styled_Button::Set_Show_Hint(bool show) {
    look::Set_Show_Hint(this, show);
}

void Styled_Button::Set_Glyph(const QIcon& glyph) {
    setIcon(glyph);
}

void Styled_Button::Set_Left_Aligned(bool left) {
    left_aligned_ = left;
    Update_Style();
}

void Styled_Button::Update_Style() {
    // Flat face with a thin frame; hot tracking lights the face and the frame under the mouse.
    setStyleSheet(
        QStringLiteral("QPushButton { background-color: #FBFAF4; border: 1px solid #B8B4A0;"
                       " border-radius: 3px; padding: 2px 8px; color: #333333; %1 }"
                       "QPushButton:hover { background-color: #FFF4CC;"
                       " border-color: #D9A400; }"
                       "QPushButton:pressed { background-color: #F2E2A6; }"
                       "QPushButton:focus { border-color: #7F9DB9; }"
                       "QPushButton:disabled { color: #A0A0A0; }")
            .arg(left_aligned_ ? QStringLiteral("text-align: left;") : QString()));
}
