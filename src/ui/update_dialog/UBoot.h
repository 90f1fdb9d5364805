#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "context/App_Context.h"
#include "platform/Icmp_Echo.h"
#include "update/Flashlink_File.h"
#include "update/Ip_Address.h"
#include "widgets/Styled_Button.h"
#include "widgets/Tessaro_Dialog.h"

class QKeyEvent;

// The update dialog: the device address and what to transfer. "Execute Update Firmware" checks
// with ICMP echo requests that the device answers, remembers the address and the options, writes
// Flashlink.xml and runs the updater; the dialog stays open afterwards.
class TFBoot : public Tessaro_Dialog {
    Q_OBJECT
public:
    static constexpr int Client_Width = 449;
    static constexpr int Client_Height = 230;
    // One echo waits this long for its reply; the whole check stops after Ping_Limit_Ms.
    static constexpr int Echo_Timeout_Ms = 400;
    static constexpr int Ping_Limit_Ms = 5000;

    TFBoot(App_Context& context, QWidget* parent);

    // Set by the caller before each showing: 1 is the update over Ethernet.
    int Form_Type = 1;
    // The latest echo report: 0 none yet, 1 a reply with data, 2 a time-out (or a reply without
    // data).
    int ping_res = 0;

    // Prepares the window each time it opens: texts, layout, the remembered address and options,
    // focus on the first address box.
    void FormShow();
    // Texts of the string table; refills the list of update operations and selects the first.
    void Set_Lang();
    // The point key in an address box: never inserted, moves to the next box. True when the key
    // was taken.
    bool KeyPress(QLineEdit* box, QKeyEvent* event);
    // The update action. Errors while writing Flashlink.xml escape to the caller. An updater that
    // is missing or cannot be started is reported in an error box.
    void Btn_UpdateClick();
    // Checks with echo requests that the device answers: two answered echoes, or the last one
    // answered when 5 s have passed.
    bool Send_Ping();
    // Report of one echo request.
    void PingReply(const Echo_Report& report);
    // Writes Flashlink.xml from the boxes, the options and the folders: beside the updater found,
    // or where Find_Updater puts it when there is none (Flashlink_File.h).
    void Compile_XML_Parameter();
    void Compile_XML_Parameter(const QString& path);
    static Split_IP Split_IP_Text(const QString& text) { return ::Split_IP_Text(text); }

    // The four address boxes joined with ".", as typed.
    QString IP_Address_Text() const;
    // True while a check or an update runs.
    bool Busy() const { return busy_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Busy_Guard;
    // A message that the update action leaves for the user; none when the text is empty.
    struct Update_Message {
        bool warning = false;
        QString text;
    };
    void Build_Controls();
    // The check and the update; the message to show once the wait is over.
    Update_Message Check_And_Update();
    Launch_Report Start_Updater(const QString& program);
    QString Missing_Updater_Text(const Updater_Lookup& updater) const;
    QString Unstartable_Updater_Text(const Updater_Lookup& updater, const QString& reason) const;
    void Paste_Address(const QString& text);

    App_Context& ctx_;
    bool busy_ = false;
    // The dialog was closed while the check ran: the update is dropped.
    bool abandoned_ = false;
    Echo_Report last_echo_;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QWidget* P_IP_Address = nullptr;
    QLabel* L_IP_Address = nullptr;
    QLineEdit* E_IP[4] = {};
    QWidget* P_Options = nullptr;
    QLabel* L_Update_Option = nullptr;
    QComboBox* CB_Update_Options = nullptr;
    QCheckBox* CB_Update_Option_Read_Back = nullptr;
    QWidget* P_Button = nullptr;
    Styled_Button* Btn_Cancel = nullptr;
    Styled_Button* Btn_Update = nullptr;
};
