#include "main_window/UTessaroFirmWare.h"

#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "comm_dialog/UParGen.h"
#include "context/Error_Display.h"
#include "dmx_dialog/UDMXDefVal.h"
#include "dry_run_window/UDry_Run.h"
#include "image/USaveBincc.h"
#include "lang/Error_Texts.h"
#include "lang/Language_File.h"
#include "map_window/UChannel_Map.h"
#include "options_dialog/USoftOptions.h"
#include "platform/Error.h"
#include "project_dialogs/UAbout.h"
#include "project_dialogs/UNew_Project.h"
#include "project_dialogs/UOpenConf.h"
#include "report/Report_Data.h"
#include "report/Report_Document.h"
#include "state/Settings.h"
#include "state/Startup.h"
#include "update_dialog/UBoot.h"
#include "web/Version_Check.h"
#include "web/Version_Checker.h"
#include "web/Web.h"
#include "widgets/Look.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardPaths>
#include <QStyle>
#include <cstdio>
#include <memory>

namespace {

constexpr int Client_Width = 694;
constexpr int Btn_CreateBin_Top = 288;
constexpr int First_Update_Interval = 60000;
constexpr int Update_Interval = 7200000;

// A printed page: the glyph of the report step.
QIcon Report_Glyph() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF page({QPointF(7.5, 3.5), QPointF(20.5, 3.5), QPointF(25.5, 8.5),
                          QPointF(25.5, 28.5), QPointF(7.5, 28.5)});
    painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.2));
    painter.setBrush(Qt::white);
    painter.drawPolygon(page);
    painter.drawPolyline(QPolygonF({QPointF(20.5, 3.5), QPointF(20.5, 8.5), QPointF(25.5, 8.5)}));
    painter.setPen(QPen(QColor(0x30, 0x70, 0xB0), 1.6));
    for (const qreal y : {12.0, 16.0, 20.0})
        painter.drawLine(QPointF(10.5, y), QPointF(22.5, y));
    painter.drawLine(QPointF(10.5, 24.0), QPointF(17.5, 24.0));
    return QIcon(pixmap);
}

// The wait cursor while something is being written.
struct Wait_Cursor {
    Wait_Cursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Wait_Cursor() { QGuiApplication::restoreOverrideCursor(); }
    Wait_Cursor(const Wait_Cursor&) = delete;
    Wait_Cursor& operator=(const Wait_Cursor&) = delete;
};

} // namespace

TFTessaroFirmWare::TFTessaroFirmWare(App_Context& context, const QString& exe_dir)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , ctx_(context) {
    setObjectName(QStringLiteral("TFTessaroFirmWare"));
    App_State& state = ctx_.state;

    // 1. An empty string table.
    ctx_.lang = Lang_Table();
    // 2. The window and its controls.
    timer_update_ = new QTimer(this);
    timer_update_->setObjectName(QStringLiteral("Timer_Update"));
    timer_update_->setInterval(First_Update_Interval);
    connect(timer_update_, &QTimer::timeout, this, &TFTessaroFirmWare::Timer_UpdateTimer);
    HTTP1 = new Version_Checker(this);
    HTTP1->setObjectName(QStringLiteral("HTTP1"));
    connect(HTTP1, &Version_Checker::Version_Checked, this, &TFTessaroFirmWare::Show_Update_Link);
    Build_Controls();
    // 3, 4. Folders beside the executable.
    Init_Folders(state, exe_dir);
    // 5, 6. The settings.
    state.Project_Name.clear();
    if (const auto problem = Load_Setting(state))
        std::fprintf(stderr, "%s\n", qPrintable(*problem + QStringLiteral(" (defaults used)")));
    // 7. The update check.
    Set_Update_Timer(state.Enable_Internet && state.Enable_Update);
    // 8. Fixed texts.
    state.Main_Title = QString::fromLatin1(Main_Title_Text);
    state.SW_Code = QString::fromLatin1(SW_Code_Text);
    state.SW_Desc = QString::fromLatin1(SW_Desc_Text);
    setWindowTitle(state.Main_Title);
    look::Set_Caption(L_SW_Code, state.SW_Code);
    look::Set_Caption(L_SW_Desc, state.SW_Desc);
    // 9. The string table, and Qt's own texts in the same language.
    Init_Language(state, ctx_.lang);
    Apply_Qt_Texts();
    // 10. The last configuration.
    Show_Configuration_Labels(Reopen_Last_Project(state));
    // 11 to 13.
    Set_Lang();
    state.Set_Files();
    ctx_.Row_Copy_Buffer.clear();
}

Styled_Button* TFTessaroFirmWare::Add_Button(const char* name, int left, int top, int width,
                                             int height) {
    auto* button = new Styled_Button(this, name);
    button->setGeometry(left, top, width, height);
    connect(button, &QPushButton::clicked, this, [this, button] { Btn_Click(button); });
    return button;
}

void TFTessaroFirmWare::Build_Controls() {
    look::Apply_Window_Look(this);
    using look::Label_Style;

    L_SW_Code = look::Add_Label(this, "L_SW_Code", QPoint(16, 8), Label_Style::Code);
    L_SW_Desc = look::Add_Label(this, "L_SW_Desc", QPoint(16, 42), Label_Style::Grey_Bold);

    LL_Update = new QLabel(this);
    LL_Update->setObjectName(QStringLiteral("LL_Update"));
    LL_Update->setGeometry(208, 19, 294, 17);
    LL_Update->setTextFormat(Qt::RichText);
    LL_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    LL_Update->setFocusPolicy(Qt::TabFocus);
    LL_Update->hide();
    connect(LL_Update, &QLabel::linkActivated, this, &TFTessaroFirmWare::LL_UpdateLinkClick);

    QStyle* style = this->style();
    Btn_Info = Add_Button("Btn_Info", 516, 8, 50, 50);
    Btn_Info->Set_Glyph(style->standardIcon(QStyle::SP_MessageBoxInformation));
    Btn_Opz = Add_Button("Btn_Opz", 574, 8, 50, 50);
    Btn_Opz->Set_Glyph(style->standardIcon(QStyle::SP_FileDialogDetailedView));
    Btn_Close = Add_Button("Btn_Close", 632, 8, 50, 50);
    Btn_Close->Set_Glyph(style->standardIcon(QStyle::SP_DialogCloseButton));
    for (Styled_Button* icon_button : {Btn_Info, Btn_Opz, Btn_Close})
        icon_button->setIconSize(QSize(32, 32));

    Shape2 = new QFrame(this);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(80, 70, 348, 36);
    Shape2->setStyleSheet(QStringLiteral("QFrame#Shape2 { border: 1px solid #C0C0C0; }"));

    L_Name_Conf = look::Add_Label(this, "L_Name_Conf", QPoint(87, 75));
    L_Name_Conf_L2 = look::Add_Label(this, "L_Name_Conf_L2", QPoint(87, 88));
    L_Begin = look::Add_Label(this, "L_Begin", QPoint(16, 84), Label_Style::Grey_Bold);
    static const char* const step_names[8] = {"L_Step_1", "L_Step_2", "L_Step_3", "L_Step_4",
                                              "L_Step_5", "L_Step_6", "L_Step_7", "L_Step_8"};
    for (int i = 0; i < 8; ++i) {
        L_Step[i] =
            look::Add_Label(this, step_names[i], QPoint(16, 128 + 44 * i), Label_Style::Grey_Bold);
        L_Step[i]->setVisible(i < 5);
    }

    Btn_New = Add_Button("Btn_New", 80, 112, 170, 36);
    Btn_New->Set_Glyph(style->standardIcon(QStyle::SP_FileIcon));
    Btn_Open = Add_Button("Btn_Open", 258, 112, 170, 36);
    Btn_Open->Set_Glyph(style->standardIcon(QStyle::SP_DirOpenIcon));
    Btn_Prm_Gen = Add_Button("Btn_Prm_Gen", 80, 156, 170, 36);
    Btn_Prm_Gen->Set_Glyph(style->standardIcon(QStyle::SP_DriveNetIcon));
    Btn_ModM_SetAccess = Add_Button("Btn_ModM_SetAccess", 80, 200, 170, 36);
    Btn_ModM_SetAccess->Set_Glyph(style->standardIcon(QStyle::SP_FileDialogListView));
    Btn_DMX_Default = Add_Button("Btn_DMX_Default", 80, 244, 170, 36);
    Btn_DMX_Default->Set_Glyph(style->standardIcon(QStyle::SP_FileDialogContentsView));
    Btn_CreateBin = Add_Button("Btn_CreateBin", 80, Btn_CreateBin_Top, 170, 36);
    Btn_CreateBin->Set_Glyph(style->standardIcon(QStyle::SP_ArrowUp));
    // The commissioning tools in the free space of the step rows: the channel map beside the
    // access step, the report beside Update Device.
    Btn_Channel_Map = Add_Button("Btn_Channel_Map", 258, 200, 170, 36);
    Btn_Channel_Map->Set_Glyph(style->standardIcon(QStyle::SP_FileDialogInfoView));
    // The dry run beside the DMX step.
    Btn_Dry_Run = Add_Button("Btn_Dry_Run", 258, 244, 170, 36);
    Btn_Dry_Run->Set_Glyph(style->standardIcon(QStyle::SP_MediaPlay));
    Btn_Report = Add_Button("Btn_Report", 258, 288, 170, 36);
    Btn_Report->Set_Glyph(Report_Glyph());
    for (Styled_Button* step : {Btn_New, Btn_Open, Btn_Prm_Gen, Btn_ModM_SetAccess, Btn_DMX_Default,
                                Btn_CreateBin, Btn_Channel_Map, Btn_Dry_Run, Btn_Report})
        step->Set_Left_Aligned(true);
    Btn_ModM_SetAccess->setText(QStringLiteral("Set Access"));

    // Hints pop up on every button but the DMX step (which keeps its hint unshown) and the
    // access step (which has none).
    for (Styled_Button* button : {Btn_Info, Btn_Opz, Btn_Close, Btn_New, Btn_Open, Btn_Prm_Gen,
                                  Btn_CreateBin, Btn_Channel_Map, Btn_Dry_Run, Btn_Report})
        button->Set_Show_Hint(true);

    L_Velmora = look::Add_Label(this, "L_Velmora", QPoint(565, 304), Label_Style::Grey_Bold);
    L_Velmora->setCursor(Qt::PointingHandCursor);
    look::Set_Caption(L_Velmora, QString::fromLatin1(Maker_Web_Host));
    L_Velmora->installEventFilter(this);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(10, Btn_CreateBin_Top + 51, 674, 1);
    Shape1->setStyleSheet(QStringLiteral("QFrame#Shape1 { background-color: #C0C0C0; }"));

    QWidget::setTabOrder(LL_Update, Btn_Info);
    QWidget::setTabOrder(Btn_Info, Btn_CreateBin);
    QWidget::setTabOrder(Btn_CreateBin, Btn_New);
    QWidget::setTabOrder(Btn_New, Btn_Open);
    QWidget::setTabOrder(Btn_Open, Btn_Prm_Gen);
    QWidget::setTabOrder(Btn_Prm_Gen, Btn_Close);
    QWidget::setTabOrder(Btn_Close, Btn_Opz);
    QWidget::setTabOrder(Btn_Opz, Btn_DMX_Default);
    QWidget::setTabOrder(Btn_DMX_Default, Btn_ModM_SetAccess);
    // The commissioning tools follow the steps: Channel Map, Dry Run, Report.
    QWidget::setTabOrder(Btn_ModM_SetAccess, Btn_Channel_Map);
    QWidget::setTabOrder(Btn_Channel_Map, Btn_Dry_Run);
    QWidget::setTabOrder(Btn_Dry_Run, Btn_Report);

    look::Set_Client_Size(this, Client_Width, Btn_CreateBin_Top + 152, true);
    look::Centre_On_Screen(this);
}

void TFTessaroFirmWare::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    look::Set_Caption(L_Begin, t[0]);
    for (int i = 0; i < 8; ++i)
        look::Set_Caption(L_Step[i], t[1 + i]);
    Btn_Info->Set_Hint(t[12]);
    Btn_Opz->Set_Hint(t[13]);
    Btn_Close->Set_Hint(t[14]);
    // The picture buttons have no caption: a screen reader says their hint as their name.
    Btn_Info->setAccessibleName(t[12]);
    Btn_Opz->setAccessibleName(t[13]);
    Btn_Close->setAccessibleName(t[14]);
    Btn_New->setText(t[15]);
    Btn_Open->setText(t[16]);
    Btn_CreateBin->setText(t[17]);
    Btn_Prm_Gen->setText(t[20]);
    Btn_DMX_Default->setText(t[21]);
    Btn_New->Set_Hint(t[22]);
    Btn_Open->Set_Hint(t[23]);
    Btn_Prm_Gen->Set_Hint(t[24]);
    Btn_DMX_Default->Set_Hint(t[25]);
    Btn_CreateBin->Set_Hint(t[26]);
    Btn_Channel_Map->setText(t[700]);
    Btn_Channel_Map->Set_Hint(t[702]);
    Btn_Dry_Run->setText(t[720]);
    Btn_Dry_Run->Set_Hint(t[721]);
    Btn_Report->setText(t[760]);
    Btn_Report->Set_Hint(t[761]);
}

void TFTessaroFirmWare::Apply_Qt_Texts() {
    ctx_.Qt_Texts.Apply(ctx_.lang.Language(), Qt_Translation_Folders(ctx_.state.Exe_Dir));
}

void TFTessaroFirmWare::Change_Language() {
    Apply_Qt_Texts();
    Set_Lang();
    if (windows_.New_Project)
        windows_.New_Project->Set_Lang();
    if (windows_.OpenConf)
        windows_.OpenConf->Set_Lang();
    if (windows_.SoftOptions)
        windows_.SoftOptions->Set_Lang();
    if (windows_.ParGen)
        windows_.ParGen->Set_Lang();
    if (windows_.DMXDefVal)
        windows_.DMXDefVal->Set_Lang();
    if (channel_map_)
        channel_map_->Set_Lang();
    if (dry_run_)
        dry_run_->Set_Lang();
}

void TFTessaroFirmWare::Show_Configuration_Labels(bool open) {
    if (open) {
        look::Set_Caption(L_Name_Conf, ctx_.Text(11));
        look::Set_Caption(L_Name_Conf_L2, ctx_.state.Project_Name);
    } else {
        look::Set_Caption(L_Name_Conf, ctx_.Text(9));
        look::Set_Caption(L_Name_Conf_L2, ctx_.Text(10));
    }
}

void TFTessaroFirmWare::Set_Update_Timer(bool enabled) {
    if (!enabled)
        timer_update_->stop();
    else if (!timer_update_->isActive())
        timer_update_->start();
}

void TFTessaroFirmWare::Timer_UpdateTimer() {
    timer_update_->stop();
    // The answer of the running query restarts the timer.
    if (HTTP1->Running())
        return;
    HTTP1->Check_Version(ctx_.Version_Query);
}

void TFTessaroFirmWare::Show_Update_Link(bool newer) {
    if (newer) {
        LL_Update->setText(Link_Caption(Download_Page_Url(), ctx_.Text(19)));
        LL_Update->show();
    } else {
        LL_Update->hide();
    }
    // Checks go on every two hours while both options allow them.
    timer_update_->setInterval(Update_Interval);
    if (ctx_.state.Enable_Internet && ctx_.state.Enable_Update)
        timer_update_->start();
}

void TFTessaroFirmWare::Btn_Click(QObject* sender) {
    const QString project = ctx_.state.Project_Dir;
    Run_Guarded(
        *ctx_.messages, this, [this, sender] { Run_Step(sender); }, &ctx_.lang);
    // A dry run runs the configuration it was started with: another one stops it.
    if (dry_run_ && ctx_.state.Project_Dir != project)
        dry_run_->Btn_StopClick();
    // A step may have changed the files or the open configuration that the map shows.
    if (channel_map_ && channel_map_->isVisible() && sender != Btn_Channel_Map &&
        sender != Btn_Close)
        channel_map_->Refresh();
}

void TFTessaroFirmWare::Run_Step(QObject* sender) {
    if (sender == Btn_New) {
        Create_New_Project();
        return;
    }
    if (sender == Btn_Open) {
        Open_Project();
        return;
    }
    if (sender == Btn_Close) {
        close();
        return;
    }
    if (sender == Btn_Info) {
        if (windows_.About)
            ctx_.Show_Modal(*windows_.About);
        return;
    }
    if (sender == Btn_Opz) {
        if (windows_.SoftOptions && ctx_.Show_Modal(*windows_.SoftOptions) == QDialog::Accepted) {
            if (const auto error = Save_Setting(ctx_.state))
                ctx_.messages->Error(this, *error);
            Set_Update_Timer(ctx_.state.Enable_Internet && ctx_.state.Enable_Update);
        }
        return;
    }
    if (ctx_.state.Project_Dir.isEmpty()) {
        ctx_.messages->Error(this, ctx_.Text(18));
        return;
    }
    if (sender == Btn_Prm_Gen) {
        if (windows_.ParGen)
            ctx_.Show_Modal(*windows_.ParGen);
    } else if (sender == Btn_DMX_Default) {
        if (windows_.DMXDefVal)
            ctx_.Show_Modal(*windows_.DMXDefVal);
    } else if (sender == Btn_ModM_SetAccess) {
        if (windows_.Set_Access)
            ctx_.Show_Modal(*windows_.Set_Access);
    } else if (sender == Btn_CreateBin) {
        Update_Device();
    } else if (sender == Btn_Channel_Map) {
        Show_Channel_Map();
    } else if (sender == Btn_Dry_Run) {
        Show_Dry_Run();
    } else if (sender == Btn_Report) {
        Report();
    }
}

void TFTessaroFirmWare::Show_Dry_Run() {
    if (!dry_run_)
        dry_run_ = new TFDry_Run(ctx_, this);
    dry_run_->show();
    dry_run_->raise();
    dry_run_->activateWindow();
}

void TFTessaroFirmWare::Show_Channel_Map() {
    if (!channel_map_) {
        channel_map_ = new TFChannel_Map(ctx_, this);
        connect(channel_map_, &TFChannel_Map::Slot_Activated, this,
                &TFTessaroFirmWare::Open_Access_At);
    }
    channel_map_->Show_Files();
    channel_map_->show();
    channel_map_->raise();
    channel_map_->activateWindow();
}

void TFTessaroFirmWare::Open_Access_At(int slot) {
    if (ctx_.state.Project_Dir.isEmpty() || !windows_.Set_Access)
        return;
    windows_.Set_Access->Select_Slot_On_Show(slot);
    Run_Guarded(
        *ctx_.messages, this, [this] { ctx_.Show_Modal(*windows_.Set_Access); }, &ctx_.lang);
    windows_.Set_Access->Select_Slot_On_Show(0);
    if (channel_map_ && channel_map_->isVisible())
        channel_map_->Refresh();
}

void TFTessaroFirmWare::Create_New_Project() {
    if (!windows_.New_Project || ctx_.Show_Modal(*windows_.New_Project) != QDialog::Accepted)
        return;
    Show_Configuration_Labels(true);
}

void TFTessaroFirmWare::Open_Project() {
    if (!windows_.OpenConf || ctx_.Show_Modal(*windows_.OpenConf) != QDialog::Accepted)
        return;
    App_State& state = ctx_.state;
    state.Project_Name = windows_.OpenConf->Name_Conf;
    if (!state.Project_Name.isEmpty()) {
        state.Project_Dir = state.Project_Folder(state.Project_Name);
        Show_Configuration_Labels(true);
    } else {
        state.Project_Dir.clear();
        Show_Configuration_Labels(false);
    }
    state.Set_Files();
}

void TFTessaroFirmWare::Update_Device() {
    // The image is rebuilt from the project files every time; an error is shown and ends the
    // step before the update dialog opens.
    const bool saved = Run_Guarded(
        *ctx_.messages, this,
        [this] {
            const auto image = std::make_unique<Image_Record>();
            Bank_Buffer buffer;
            Compile_Bank(ctx_.state, *image, buffer);
            Save_Bank_File(ctx_.state, buffer);
        },
        &ctx_.lang);
    if (!saved)
        return;
    if (windows_.Boot) {
        windows_.Boot->Form_Type = 1;
        ctx_.Show_Modal(*windows_.Boot);
    }
}

void TFTessaroFirmWare::Report() {
    const App_State& state = ctx_.state;
    QString folder = last_report_dir_;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString suggested = folder + QLatin1Char('/') + state.Project_Name + QLatin1Char('_') +
                              QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) +
                              QStringLiteral(".pdf");
    const QString filter =
        QStringLiteral("%1 (*.pdf);;%2 (*.html *.htm)").arg(ctx_.Text(904), ctx_.Text(905));
    QString path = ctx_.Ask_Save_File(this, ctx_.Text(903), suggested, filter);
    if (path.isEmpty())
        return;
    // A name without an extension becomes a PDF.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    const std::optional<Report_Format> format = Report_Format_For(path);
    if (!format) {
        ctx_.messages->Error(this, ctx_.Text(906) + QLatin1Char('\n') +
                                       QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                                       ctx_.Text(910));
        return;
    }
    last_report_dir_ = QFileInfo(path).absolutePath();
    try {
        const Wait_Cursor wait;
        const Report_Data data =
            Collect_Report_Data(state.Project_Dir, QDateTime::currentDateTime(), ctx_.lang);
        Write_Report(path, *format, data, ctx_.lang);
    } catch (const Tessaro_Error& error) {
        ctx_.messages->Error(this,
                             ctx_.Text(906) + QLatin1Char('\n') + Error_Message(error, ctx_.lang));
        return;
    }
    ctx_.Open_Url(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void TFTessaroFirmWare::Start_Program(const QString& NomeSW, const QString& Parameter, bool tipo) {
    if (ctx_.launcher)
        ctx_.launcher->Start_Program(NomeSW, Parameter, tipo);
}

QUrl TFTessaroFirmWare::Home_Page_Url() {
    return ::Home_Page_Url();
}

void TFTessaroFirmWare::L_VelmoraClick() {
    ctx_.Open_Url(Home_Page_Url());
}

void TFTessaroFirmWare::LL_UpdateLinkClick(const QString& link) {
    ctx_.Open_Url(QUrl(link));
}

bool TFTessaroFirmWare::eventFilter(QObject* watched, QEvent* event) {
    if (watched == L_Velmora && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        L_VelmoraClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFTessaroFirmWare::closeEvent(QCloseEvent* event) {
    if (const auto error = Save_Setting(ctx_.state))
        ctx_.messages->Error(this, *error);
    event->accept();
}
