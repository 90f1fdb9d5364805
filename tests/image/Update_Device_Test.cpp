#include "Project_Fixture.h"
#include "image/USaveBincc.h"
#include "main_window/Tessaro_App.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

// "Update Device" with the configuration "Plant" open.
class Update_Device : public ::testing::Test {
protected:
    Update_Device() {
        QDir().mkpath(folder.File("PROJECTS/Plant"));
        Write_Text(folder.File("Tessaro.xml"), "<Conf_Settings><lastproj><projectname>Plant"
                                               "</projectname></lastproj></Conf_Settings>");
    }
    QString Project_File(const char* name) const { return folder.File("PROJECTS/Plant/") + name; }
    void Click_Update() {
        // The update dialog is recorded instead of shown.
        app = std::make_unique<Tessaro_App>(folder.Path(), &messages, [this](App_Context& ctx) {
            ctx.Show_Modal = [this](QDialog& dialog) {
                shown.append(dialog.objectName());
                return int(QDialog::Rejected);
            };
        });
        ASSERT_EQ(app->Context().state.Project_Dir, folder.File("PROJECTS/Plant"));
        auto* button = app->Main_Window().findChild<QPushButton*>("Btn_CreateBin");
        ASSERT_NE(button, nullptr);
        button->click();
    }

    Temp_Folder folder;
    Recording_Messages messages;
    QStringList shown;
    std::unique_ptr<Tessaro_App> app;
};

TEST_F(Update_Device, WritesTheImageOfTheOpenConfiguration) {
    Write_Text(Project_File("ParGen.xml"), Par_Gen_Standard("1", "512", "1"));
    Write_Text(Project_File("ModbusTCPM_SetAccess.xml"),
               Access_File(Access_Row(Section::Read), ""));
    Write_Text(Project_File("DMX_Default_Values.xml"), DMX_File({"10", "20"}));
    // A new configuration has its bin folder; one removed by hand is made again.
    ASSERT_FALSE(QDir(Project_File("bin")).exists());
    Click_Update();
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join('\n').toStdString();
    const QByteArray bank = Read_Bytes(Project_File("bin/bank.bin"));
    ASSERT_EQ(bank.size(), 35328);
    EXPECT_EQ(bank, Compile_Configuration(folder.File("PROJECTS/Plant")));
    EXPECT_EQ(bank.mid(34812, 4), QByteArray("\x2B\x0B\x00\x00", 4)); // 2858 + 1 request
    EXPECT_EQ(Byte_At(bank, 9), 3);
    EXPECT_EQ(bank.mid(34816, 3), QByteArray("\x0A\x14\x00", 3));
    EXPECT_EQ(shown, QStringList{"TFBoot"});
}

TEST_F(Update_Device, ACompileErrorIsShownAndWritesNothing) {
    Write_Text(Project_File("ModbusTCPM_SetAccess.xml"),
               Access_File(Access_Row(Section::Read) +
                               Access_Row(Section::Read, {{"IP_Address", "10.0.7"}}),
                           ""));
    Write_Bytes(Project_File("bin/bank.bin"), "previous image");
    Click_Update();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text, "ModbusTCPM_SetAccess.xml: Modbus_Read row 2: IP_Address "
                                       "\"10.0.7\" is not four numbers");
    EXPECT_EQ(Read_Bytes(Project_File("bin/bank.bin")), "previous image");
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(Update_Device, AnImageThatCannotBeSavedIsReported) {
    Write_Bytes(Project_File("bin"), "a file where the folder belongs");
    Click_Update();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_TRUE(messages.record[0].text.startsWith("bank.bin: cannot be written: "))
        << messages.record[0].text.toStdString();
    EXPECT_TRUE(shown.isEmpty());
}

} // namespace
