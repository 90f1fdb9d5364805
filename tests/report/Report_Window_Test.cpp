// The Report step of the main window.
#include "image/Project_Fixture.h"
#include "main_window/Tessaro_App.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Report_Step : public ::testing::Test {
protected:
    void Start() {
        app = std::make_unique<Tessaro_App>(folder.Path(), &messages, [this](App_Context& ctx) {
            ctx.Ask_Save_File = [this](QWidget*, const QString& caption, const QString& start,
                                       const QString& filter) {
                questions.append({caption, start, filter});
                return answer;
            };
            ctx.Open_Url = [this](const QUrl& url) { opened.append(url); };
        });
        button = app->Main_Window().findChild<QPushButton*>("Btn_Report");
        ASSERT_NE(button, nullptr);
    }
    void Open_Configuration() {
        App_State& state = app->Context().state;
        state.Project_Name = "Hall A";
        state.Project_Dir = state.Project_Folder(state.Project_Name);
        state.Set_Files();
        QDir().mkpath(state.Project_Dir);
        Write_Text(state.ParGen_File, Par_Gen_Standard("1", "512", "0"));
        Write_Text(state.ModbusTCPM_SetAccess_File,
                   Access_File(Access_Row(Section::Read, {{"Mnemonic", "Hall lights"}}), ""));
    }

    Temp_Folder folder;
    Recording_Messages messages;
    std::unique_ptr<Tessaro_App> app;
    QPushButton* button = nullptr;
    QString answer;
    QList<QStringList> questions;
    QList<QUrl> opened;
};

TEST_F(Report_Step, NeedsAnOpenConfiguration) {
    Start();
    button->click();
    EXPECT_EQ(messages.Texts(), QStringList{"Error! Project not Valid"});
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(Report_Step, WritesTheChosenFileAndOpensIt) {
    Start();
    Open_Configuration();
    const struct {
        QString answer;
        QString written; // the file written, empty for none
        const char* begins;
    } cases[] = {
        {folder.File("Hall A.pdf"), folder.File("Hall A.pdf"), "%PDF"},
        {folder.File("Hall A.HTML"), folder.File("Hall A.HTML"), "<!DOCTYPE html>"},
        // No extension: a PDF.
        {folder.File("plain"), folder.File("plain.pdf"), "%PDF"},
    };
    for (const auto& c : cases) {
        questions.clear();
        opened.clear();
        answer = c.answer;
        button->click();
        EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join('|').toStdString();
        ASSERT_EQ(questions.size(), 1);
        EXPECT_EQ(questions[0][0], "Save the Report");
        EXPECT_TRUE(questions[0][1].endsWith(".pdf")) << questions[0][1].toStdString();
        EXPECT_TRUE(QFileInfo(questions[0][1]).fileName().startsWith("Hall A_"));
        EXPECT_EQ(questions[0][2], "PDF Document (*.pdf);;HTML Page (*.html *.htm)");
        EXPECT_TRUE(Read_Bytes(c.written).startsWith(c.begins)) << c.written.toStdString();
        EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(c.written)});
    }
    // The next question starts in the folder of the last report.
    answer.clear();
    button->click();
    EXPECT_EQ(QFileInfo(questions.last()[1]).absolutePath(),
              QFileInfo(folder.Path()).absoluteFilePath());
    // Cancelled: nothing more.
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(Report_Step, FailuresAreShownWithTheFileAndTheReason) {
    Start();
    Open_Configuration();
    answer = folder.File("missing folder/Hall A.pdf");
    button->click();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_TRUE(messages.record[0].text.startsWith(
        "The report was not written.\nHall A.pdf: cannot be written: "))
        << messages.record[0].text.toStdString();

    messages.Clear();
    answer = folder.File("Hall A.txt");
    button->click();
    EXPECT_EQ(messages.Texts(),
              QStringList{"The report was not written.\n" + QDir::toNativeSeparators(answer) +
                          ": the name must end in .pdf or .html"});

    messages.Clear();
    Write_Text(app->Context().state.ParGen_File, "<Par_Gen>");
    answer = folder.File("Hall A.pdf");
    button->click();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("The report was not written.\nParGen.xml"))
        << messages.record[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(answer));
    EXPECT_TRUE(opened.isEmpty());
}

} // namespace
