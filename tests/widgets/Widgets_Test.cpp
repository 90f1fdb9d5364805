#include "context/Error_Display.h"
#include "support/Recording_Messages.h"
#include "widgets/Look.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(Styled_Button, ClosesItsDialogWithItsModalResult) {
    for (const int result : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
        Tessaro_Dialog dialog(nullptr, "Dialog", true);
        auto* button = new Styled_Button(&dialog, "Btn_OK");
        button->Set_Modal_Result(result);
        dialog.show();
        button->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), result);
    }
}

TEST(Styled_Button, WithoutAModalResultLeavesItsDialogOpen) {
    Tessaro_Dialog dialog(nullptr, "Dialog", true);
    auto* button = new Styled_Button(&dialog, "Btn_Update");
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    dialog.show();
    button->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(clicks, 1);
}

TEST(Hints, PopUpOnlyWhereShown) {
    QWidget widget;
    look::Set_Hint(&widget, "Start the update of Device");
    EXPECT_EQ(look::Hint_Of(&widget), "Start the update of Device");
    EXPECT_EQ(widget.toolTip(), "");
    look::Set_Show_Hint(&widget, true);
    EXPECT_EQ(widget.toolTip(), "Start the update of Device");
    look::Set_Hint(&widget, "Other");
    EXPECT_EQ(widget.toolTip(), "Other");
}

TEST(Window_Look, HasTheColourAndFontOfTheProgram) {
    Tessaro_Dialog dialog(nullptr, "Dialog", true);
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(248, 247, 237));
    EXPECT_EQ(dialog.font().pointSize(), 8);
    const look::Title_Panel title = look::Add_Title_Labels(&dialog);
    EXPECT_EQ(title.L_SW_Code->objectName(), "L_SW_Code");
    EXPECT_EQ(title.L_SW_Code->pos(), QPoint(16, 8));
    EXPECT_EQ(title.L_SW_Code->font().pixelSize(), 32);
    EXPECT_EQ(title.L_SW_Desc->pos(), QPoint(16, 42));
    EXPECT_TRUE(title.L_SW_Desc->font().bold());
    EXPECT_EQ(title.L_SW_Desc->palette().color(QPalette::WindowText), look::Grey());
}

TEST(Error_Display, ShowsAnEscapedErrorAndGoesOn) {
    Recording_Messages messages;
    EXPECT_FALSE(Run_Guarded(messages, nullptr, [] {
        throw Tessaro_Error("ParGen.xml: not a well-formed XML file (line 1, column 2): x");
    }));
    EXPECT_TRUE(Run_Guarded(messages, nullptr, [] {}));
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text,
              "ParGen.xml: not a well-formed XML file (line 1, column 2): x");
}

} // namespace
