#pragma once

#include <QIcon>
#include <QPushButton>

// The push button of every window: caption, glyph, hint and a modal result that closes its
// dialog with that result; it lights up under the mouse.
class Styled_Button : public QPushButton {
    Q_OBJECT
public:
    // No modal result: the click only runs the button's own handler.
    static constexpr int No_Result = -1;

    explicit Styled_Button(QWidget* parent, const char* name = nullptr);

    void Set_Hint(const QString& hint);
    QString Hint() const;
    void Set_Show_Hint(bool show);

    void Set_Glyph(const QIcon& glyph);
    void Set_Left_Aligned(bool left);

    // The result with which a click closes the button's dialog (QDialog::Accepted or Rejected).
    void Set_Modal_Result(int result) { modal_result_ = result; }
    int Modal_Result() const { return modal_result_; }

private:
    void Update_Style();
    int modal_result_ = No_Result;
    bool left_aligned_ = false;
};
