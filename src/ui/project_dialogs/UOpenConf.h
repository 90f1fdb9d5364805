#pragma once

#include <QLabel>
#include <QListWidget>
#include <QStringList>

#include "context/App_Context.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

// Lists the configurations under PROJECTS, pre-selects the open one and gives back the name the
// user picks in Name_Conf. It changes nothing in the application state itself.
class TFOpenConf : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFOpenConf(App_Context& context, QWidget* parent);

    // Rebuilds the list from the disk and pre-selects the open configuration, else the first.
    void FormShow();
    // Reads the configuration names from the PROJECTS folder.
    void Load_Existing_Configuration();
    // Position of the first listed name equal to snc in upper case, or -1.
    int Search_Open_Conf(const QString& snc) const;
    // The user selected an entry: it becomes the chosen name.
    void ListBox1Click();
    void Set_Lang();

    // The configuration chosen so far.
    QString Name_Conf;
    // The names found at the latest showing, in the order the file system gave them.
    const QStringList& Configurations() const { return configurations_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place_Controls();

    App_Context& ctx_;
    QStringList configurations_;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_OK = nullptr;
    Styled_Button* Btn_Cancel = nullptr;
};
