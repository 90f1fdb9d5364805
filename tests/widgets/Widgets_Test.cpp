#include "context/Error_Display.h"
#include "support/Recording_Messages.h"
#include "widgets/Look.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"
#include "widgets/Window_Place.h"

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

// A window of 1000 x 760 (the channel map) beside dialogs on screens of several sizes.
TEST(Window_Place, BesideTheDialogInsideTheScreen) {
    const QSize map(1000, 760);
    const QRect full_hd(0, 0, 1920, 1040); // a 1080-line screen less its panel
    struct Case {
        const char* what;
        QRect dialog;
        QSize window;
        QRect area;
        QPoint expected;
    };
    const Case cases[] = {
        {"right of it, tops aligned", {100, 100, 700, 500}, map, full_hd, {800, 100}},
        {"right of it, to the last pixel", {0, 0, 920, 500}, map, full_hd, {920, 0}},
        {"right of it, lifted into the screen", {100, 500, 700, 500}, map, full_hd, {800, 280}},
        {"below it when the right has no room",
         {1000, 100, 900, 500},
         map,
         {0, 0, 1920, 1600},
         {920, 600}},
        {"left of it", {1100, 100, 800, 900}, map, full_hd, {100, 100}},
        {"above it", {0, 900, 1920, 500}, map, {0, 0, 1920, 1600}, {0, 140}},
        // The access dialog in the middle of a 1080-line screen: no room beside it; in the
        // bottom right corner the map covers 545 x 510 of it, less than anywhere else.
        {"covering the least", {454, 249, 1011, 541}, map, full_hd, {920, 280}},
        {"on a second screen below its panel",
         {2000, 100, 600, 400},
         map,
         {1920, 30, 1920, 1050},
         {2600, 100}},
        {"a dialog half off the screen",
         {-104, 229, 1011, 341},
         {800, 764},
         {0, 0, 800, 800},
         {0, 36}},
        {"larger than the screen: its top left",
         {100, 100, 300, 200},
         map,
         {0, 0, 800, 600},
         {0, 0}},
    };
    for (const Case& c : cases) {
        const QPoint at = Place_Beside(c.dialog, c.window, c.area);
        EXPECT_EQ(at, c.expected) << c.what << ": " << at.x() << "," << at.y();
        const QRect placed(at, c.window);
        if (c.window.width() <= c.area.width() && c.window.height() <= c.area.height()) {
            EXPECT_TRUE(c.area.contains(placed)) << c.what;
        }
    }
}

} // namespace
