#pragma once

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "context/App_Context.h"
#include "context/Main_Form.h"
#include "widgets/Styled_Button.h"

class TFNew_Project;
class TFOpenConf;
class TFAbout;
class TFSoftOptions;
class TFParGen;
class TFDMXDefVal;
class TFModbus_TCP_Master_Set_Access;
class TFBoot;
class TFChannel_Map;
class TFDry_Run;
class Version_Checker;

// The other windows, created once after the main window.
struct Tessaro_Windows {
    TFNew_Project* New_Project = nullptr;
    TFOpenConf* OpenConf = nullptr;
    TFAbout* About = nullptr;
    TFSoftOptions* SoftOptions = nullptr;
    TFParGen* ParGen = nullptr;
    TFDMXDefVal* DMXDefVal = nullptr;
    TFModbus_TCP_Master_Set_Access* Set_Access = nullptr;
    TFBoot* Boot = nullptr;
};

// The main window: the open configuration and the numbered steps from a new configuration to an
// updated device. Creating it runs the program's start-up.
class TFTessaroFirmWare : public QWidget, public Main_Form {
    Q_OBJECT
public:
    // Runs start-up with exe_dir as the folder of the executable.
    TFTessaroFirmWare(App_Context& context, const QString& exe_dir);

    void Set_Windows(const Tessaro_Windows& windows) { windows_ = windows; }
    const Tessaro_Windows& Windows() const { return windows_; }

    // The one handler of the nine buttons. An error that escapes a step is shown in an error box
    // and the program goes on.
    void Btn_Click(QObject* sender);
    void Create_New_Project();
    void Open_Project();
    void Update_Device();
    // The channel map of the saved files of the open configuration, beside the main window.
    void Show_Channel_Map();
    // The dry run window (not modal), made at its first showing.
    void Show_Dry_Run();
    TFDry_Run* Dry_Run_Window() const { return dry_run_; }
    // The access step with a row of the used table selected (from the channel map).
    void Open_Access_At(int slot);
    TFChannel_Map* Channel_Map_Window() const { return channel_map_; }
    // Writes the commissioning report of the open configuration to a PDF or HTML file the user
    // names, and opens it with the desktop's viewer.
    void Report();
    // Runs a program file with a parameter text (its window hidden when tipo is true) and waits
    // for it to end, up to the launcher's time limit. Reports nothing back.
    void Start_Program(const QString& NomeSW, const QString& Parameter, bool tipo);

    void Set_Lang();
    // Re-texts the windows that follow a language change.
    void Change_Language() override;
    // Installs the translation of Qt's own texts for the language of the string table.
    void Apply_Qt_Texts();

    // Switches the update-check timer: enabling a stopped timer starts its interval anew.
    void Set_Update_Timer(bool enabled) override;
    QTimer* Timer_Update() const { return timer_update_; }
    // A tick of Timer_Update: asks for a newer version and shows or hides LL_Update.
    void Timer_UpdateTimer();

    // Home page of the maker, opened by the web label.
    static QUrl Home_Page_Url();
    void L_VelmoraClick();
    void LL_UpdateLinkClick(const QString& link);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build_Controls();
    void Run_Step(QObject* sender);
    void Show_Configuration_Labels(bool open);
    void Show_Update_Link(bool newer);
    Styled_Button* Add_Button(const char* name, int left, int top, int width, int height);

    App_Context& ctx_;
    Tessaro_Windows windows_;
    QTimer* timer_update_ = nullptr;
    // The version query of the update timer.
    Version_Checker* HTTP1 = nullptr;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* LL_Update = nullptr;
    Styled_Button* Btn_Info = nullptr;
    Styled_Button* Btn_Opz = nullptr;
    Styled_Button* Btn_Close = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* L_Name_Conf = nullptr;
    QLabel* L_Name_Conf_L2 = nullptr;
    QLabel* L_Begin = nullptr;
    QLabel* L_Step[8] = {};
    Styled_Button* Btn_New = nullptr;
    Styled_Button* Btn_Open = nullptr;
    Styled_Button* Btn_Prm_Gen = nullptr;
    Styled_Button* Btn_ModM_SetAccess = nullptr;
    Styled_Button* Btn_DMX_Default = nullptr;
    Styled_Button* Btn_CreateBin = nullptr;
    Styled_Button* Btn_Channel_Map = nullptr;
    TFChannel_Map* channel_map_ = nullptr;
    Styled_Button* Btn_Dry_Run = nullptr;
    TFDry_Run* dry_run_ = nullptr;
    // The commissioning report, beside Update Device.
    Styled_Button* Btn_Report = nullptr;
    // Where the last report was written during this run.
    QString last_report_dir_;
    QLabel* L_Velmora = nullptr;
    QFrame* Shape1 = nullptr;
};
