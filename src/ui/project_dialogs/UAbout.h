#pragma once

#include <QLabel>

#include "context/App_Context.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

// What the software is: description, software code, version, the code of the device manual and
// the version of the language file loaded last, with a link to the maker's web site. Its texts
// are fixed in every language.
class TFAbout : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFAbout(App_Context& context, QWidget* parent);

    // Fills the value labels (the language version is the one loaded last).
    void FormShow();
    // The web label and the picture open the maker's home page.
    void Label4Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* Add_Text(const char* name, int left, int top, const QString& text = QString());

    App_Context& ctx_;

    QLabel* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label4 = nullptr;
    Styled_Button* LbButton1 = nullptr;
};

// The picture of the converter shown in the About window, size x size pixels.
QPixmap Product_Picture(int size);
