#include "main_window/Tessaro_App.h"

#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "comm_dialog/UParGen.h"
#include "context/Qt_Messages.h"
#include "dmx_dialog/UDMXDefVal.h"
#include "options_dialog/USoftOptions.h"
#include "project_dialogs/UAbout.h"
#include "project_dialogs/UNew_Project.h"
#include "project_dialogs/UOpenConf.h"
#include "update_dialog/UBoot.h"

Tessaro_App::Tessaro_App(const QString& exe_dir, Messages* messages,
                         const std::function<void(App_Context&)>& customise) {
    if (!messages) {
        own_messages_ = std::make_unique<Qt_Messages>(&ctx_.lang);
        messages = own_messages_.get();
    }
    ctx_.messages = messages;
    if (customise)
        customise(ctx_);

    main_window_ = std::make_unique<TFTessaroFirmWare>(ctx_, exe_dir);
    TFTessaroFirmWare* main = main_window_.get();
    Tessaro_Windows windows;
    windows.New_Project = new TFNew_Project(ctx_, main);
    windows.OpenConf = new TFOpenConf(ctx_, main);
    windows.About = new TFAbout(ctx_, main);
    windows.SoftOptions = new TFSoftOptions(ctx_, main);
    windows.ParGen = new TFParGen(ctx_, main);
    windows.DMXDefVal = new TFDMXDefVal(ctx_, main);
    windows.Set_Access = new TFModbus_TCP_Master_Set_Access(ctx_, main);
    windows.Boot = new TFBoot(ctx_, main);
    main->Set_Windows(windows);
}

Tessaro_App::~Tessaro_App() = default;
