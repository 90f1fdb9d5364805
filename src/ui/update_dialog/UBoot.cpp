#include "update_dialog/UBoot.h"

#include "context/Error_Display.h"
#include "update/Flashlink_File.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QStyle>
#include <QTimer>

namespace {

constexpr int Title_Height = 69;
constexpr int IP_Address_Height = 49;
constexpr int Options_Height = 72;
constexpr int Button_Height = 40;

constexpr int Box_Width = 42;
constexpr int Box_Step = 56;

// Waits ms milliseconds while the windows handle their pending events.
void Pause_Processing_Events(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TFBoot::TFBoot(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFBoot", true)
    , ctx_(context) {
    Build_Controls();
}

void TFBoot::Build_Controls() {
    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    P_Title->setGeometry(0, 0, Client_Width, Title_Height);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    int top = Title_Height;
    P_IP_Address = look::Make_Panel(this, "P_IP_Address", IP_Address_Height);
    P_IP_Address->setGeometry(0, top, Client_Width, IP_Address_Height);
    top += IP_Address_Height;
    L_IP_Address = look::Add_Label(P_IP_Address, "L_IP_Address", QPoint(16, 4));
    static const char* const box_names[4] = {"E_IP1", "E_IP2", "E_IP3", "E_IP4"};
    static const char* const point_names[3] = {"L_Point1", "L_Point2", "L_Point3"};
    for (int i = 0; i < 4; ++i) {
        QLineEdit* box = new QLineEdit(QStringLiteral("0"), P_IP_Address);
        box->setObjectName(QString::fromLatin1(box_names[i]));
        box->setGeometry(16 + Box_Step * i, 21, Box_Width, 21);
        box->setAlignment(Qt::AlignCenter);
        box->installEventFilter(this);
        look::Set_Show_Hint(box, true);
        E_IP[i] = box;
        if (i < 3) {
            QLabel* point = look::Add_Label(P_IP_Address, point_names[i],
                                            QPoint(16 + Box_Step * i + Box_Width + 5, 24),
                                            look::Label_Style::Grey_Bold);
            look::Set_Caption(point, QStringLiteral("."));
        }
    }
    // A whole address pasted into the first box fills the four boxes.
    connect(E_IP[0], &QLineEdit::textEdited, this, &TFBoot::Paste_Address);

    P_Options = look::Make_Panel(this, "P_Options", Options_Height);
    P_Options->setGeometry(0, top, Client_Width, Options_Height);
    top += Options_Height;
    L_Update_Option = look::Add_Label(P_Options, "L_Update_Option", QPoint(16, 4));
    CB_Update_Options = new QComboBox(P_Options);
    CB_Update_Options->setObjectName(QStringLiteral("CB_Update_Options"));
    CB_Update_Options->setGeometry(16, 21, 260, 22);
    look::Set_Show_Hint(CB_Update_Options, true);
    CB_Update_Option_Read_Back = new QCheckBox(P_Options);
    CB_Update_Option_Read_Back->setObjectName(QStringLiteral("CB_Update_Option_Read_Back"));
    CB_Update_Option_Read_Back->setGeometry(16, 48, 260, 18);
    look::Set_Show_Hint(CB_Update_Option_Read_Back, true);

    P_Button = look::Make_Panel(this, "P_Button", Button_Height);
    P_Button->setGeometry(0, top, Client_Width, Button_Height);
    Btn_Update = new Styled_Button(P_Button, "Btn_Update");
    Btn_Update->setGeometry(Client_Width - 16 - 190, 6, 190, 28);
    Btn_Update->Set_Glyph(style()->standardIcon(QStyle::SP_ArrowUp));
    Btn_Update->Set_Show_Hint(true);
    Btn_Cancel = new Styled_Button(P_Button, "Btn_Cancel");
    Btn_Cancel->setGeometry(Client_Width - 16 - 190 - 8 - 100, 6, 100, 28);
    Btn_Cancel->Set_Glyph(style()->standardIcon(QStyle::SP_DialogCancelButton));
    Btn_Cancel->Set_Modal_Result(QDialog::Rejected);
    Btn_Cancel->Set_Show_Hint(true);
    connect(Btn_Update, &QPushButton::clicked, this, [this] {
        if (ctx_.messages)
            Run_Guarded(
                *ctx_.messages, this, [this] { Btn_UpdateClick(); }, &ctx_.lang);
        else
            Btn_UpdateClick();
    });
}

void TFBoot::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[802]);
    look::Set_Caption(L_SW_Desc, t[803]);
    look::Set_Caption(L_IP_Address, t[806]);
    look::Set_Caption(L_Update_Option, t[814]);
    CB_Update_Options->clear();
    CB_Update_Options->addItems({t[815], t[816], t[817]});
    CB_Update_Options->setCurrentIndex(0);
    CB_Update_Option_Read_Back->setText(t[818]);
    Btn_Cancel->setText(t[819]);
    Btn_Update->setText(t[820]);
    for (int i = 0; i < 4; ++i)
        look::Set_Hint(E_IP[i], t[821 + i]);
    look::Set_Hint(CB_Update_Options, t[832]);
    look::Set_Hint(CB_Update_Option_Read_Back, t[833]);
    Btn_Cancel->Set_Hint(t[834]);
    Btn_Update->Set_Hint(t[835]);
}

void TFBoot::FormShow() {
    const App_State& state = ctx_.state;
    Set_Lang();
    look::Set_Caption(L_SW_Code, state.SW_Code);

    look::Set_Client_Size(this, Client_Width, Client_Height, true);
    QWidget::setTabOrder(P_Title, P_IP_Address);
    QWidget::setTabOrder(P_IP_Address, E_IP[0]);
    for (int i = 0; i < 3; ++i)
        QWidget::setTabOrder(E_IP[i], E_IP[i + 1]);
    QWidget::setTabOrder(E_IP[3], P_Options);
    QWidget::setTabOrder(P_Options, CB_Update_Options);
    QWidget::setTabOrder(CB_Update_Options, CB_Update_Option_Read_Back);
    QWidget::setTabOrder(CB_Update_Option_Read_Back, P_Button);
    QWidget::setTabOrder(P_Button, Btn_Cancel);
    QWidget::setTabOrder(Btn_Cancel, Btn_Update);

    if (!state.Last_IP_Address.isEmpty()) {
        const Split_IP split = Split_IP_Text(state.Last_IP_Address);
        if (split.ok)
            for (int i = 0; i < 4; ++i)
                E_IP[i]->setText(split.parts[i]);
    }

    // An index that the list does not have keeps the first entry.
    if (state.Update_Option_Index >= 0 && state.Update_Option_Index < CB_Update_Options->count())
        CB_Update_Options->setCurrentIndex(state.Update_Option_Index);
    CB_Update_Option_Read_Back->setChecked(state.Update_Read_Back);

    if (E_IP[0]->isEnabled() && E_IP[0]->isVisible()) {
        E_IP[0]->setFocus(Qt::TabFocusReason);
        E_IP[0]->selectAll();
    }
}

void TFBoot::showEvent(QShowEvent* event) {
    FormShow();
    Tessaro_Dialog::showEvent(event);
}

bool TFBoot::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (QLineEdit* box : E_IP)
            if (watched == box && KeyPress(box, static_cast<QKeyEvent*>(event)))
                return true;
    }
    return Tessaro_Dialog::eventFilter(watched, event);
}

bool TFBoot::KeyPress(QLineEdit* box, QKeyEvent* event) {
    if (event->text() != QStringLiteral("."))
        return false;
    for (int i = 0; i < 3; ++i) {
        if (box != E_IP[i])
            continue;
        QLineEdit* next = E_IP[i + 1];
        if (next->isEnabled() && next->isVisible()) {
            next->setFocus(Qt::TabFocusReason);
            next->selectAll();
        }
    }
    return true;
}

void TFBoot::Paste_Address(const QString& text) {
    if (!text.contains(QLatin1Char('.')))
        return;
    const Split_IP split = Split_IP_Text(text);
    if (!split.ok)
        return;
    for (int i = 0; i < 4; ++i)
        E_IP[i]->setText(split.parts[i]);
    E_IP[3]->setFocus(Qt::OtherFocusReason);
}

QString TFBoot::IP_Address_Text() const {
    return E_IP[0]->text() + QLatin1Char('.') + E_IP[1]->text() + QLatin1Char('.') +
           E_IP[2]->text() + QLatin1Char('.') + E_IP[3]->text();
}

void TFBoot::PingReply(const Echo_Report& report) {
    ping_res = report.bytes_received > 0 ? 1 : 2;
}

bool TFBoot::Send_Ping() {
    ping_res = 0;
    last_echo_ = Echo_Report();
    QElapsedTimer since_start;
    since_start.start();
    const QString address = IP_Address_Text();
    const QByteArray data = address.toUtf8();
    if (!ctx_.echo_client)
        return false;

    int answered = 0;
    for (;;) {
        QElapsedTimer since_send;
        since_send.start();
        last_echo_ = ctx_.echo_client->Echo(address, data, Echo_Timeout_Ms);
        if (last_echo_.status == Echo_Report::Status::Bad_Address ||
            last_echo_.status == Echo_Report::Status::Failed)
            return false;
        PingReply(last_echo_);
        do {
            Pause_Processing_Events(10);
            if (abandoned_)
                return false;
        } while (ping_res == 0 && since_send.elapsed() <= Echo_Timeout_Ms);
        if (ping_res == 1 && ++answered == 2)
            break;
        if (since_start.elapsed() > Ping_Limit_Ms)
            break;
    }
    return ping_res == 1;
}

// While a check or an update runs, the address and the options stay as they were when it
// began (so that the file names the address that answered) and the cursor shows the wait; all
// of it is undone when the action ends, also by an error.
class TFBoot::Busy_Guard {
public:
    explicit Busy_Guard(TFBoot& boot)
        : boot_(boot) {
        boot_.busy_ = true;
        Set_Locked(true);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~Busy_Guard() {
        QApplication::restoreOverrideCursor();
        Set_Locked(false);
        boot_.busy_ = false;
    }
    Busy_Guard(const Busy_Guard&) = delete;
    Busy_Guard& operator=(const Busy_Guard&) = delete;

private:
    void Set_Locked(bool locked) {
        for (QLineEdit* box : boot_.E_IP)
            box->setReadOnly(locked);
        boot_.CB_Update_Options->setEnabled(!locked);
        boot_.CB_Update_Option_Read_Back->setEnabled(!locked);
    }
    TFBoot& boot_;
};

void TFBoot::Btn_UpdateClick() {
    // A click while a check or an update runs is dropped.
    if (busy_)
        return;
    Update_Message message;
    {
        const Busy_Guard guard(*this);
        message = Check_And_Update();
    }
    // Shown once the wait is over, so the box does not carry the busy cursor.
    if (message.text.isEmpty())
        return;
    if (message.warning)
        ctx_.messages->Warning(this, message.text);
    else
        ctx_.messages->Error(this, message.text);
}

TFBoot::Update_Message TFBoot::Check_And_Update() {
    abandoned_ = false;
    if (Send_Ping()) {
        if (abandoned_)
            return {};
        App_State& state = ctx_.state;
        state.Last_IP_Address = IP_Address_Text();
        state.Update_Option_Index = CB_Update_Options->currentIndex();
        state.Update_Read_Back = CB_Update_Option_Read_Back->isChecked();
        const Updater_Lookup updater = Find_Updater(state);
        Compile_XML_Parameter(updater.Parameter_File);
        if (!updater.Found()) {
            // The launch is still asked for where the updater belongs (it returns at once for a
            // missing program), then the user learns why nothing started.
            if (!updater.Searched.isEmpty())
                Start_Updater(Updater_Program_Path(updater.Searched.first()));
            return {false, Missing_Updater_Text(updater)};
        }
        const Launch_Report launch = Start_Updater(updater.Program);
        if (!launch.Started)
            return {false, Unstartable_Updater_Text(updater, launch.Reason)};
        return {};
    }
    if (abandoned_)
        return {};
    if (ping_res == 2)
        return {true, ctx_.Text(836)};
    QString text = ctx_.Text(837);
    // When the system refused the echo, its reason tells a permission problem from a wrong
    // address.
    if (last_echo_.status == Echo_Report::Status::Failed && !last_echo_.reason.isEmpty())
        text += QLatin1Char('\n') + last_echo_.reason;
    return {false, text};
}

QString TFBoot::Missing_Updater_Text(const Updater_Lookup& updater) const {
    QStringList lines{ctx_.Text(785) + Updater_Program_Name()};
    lines.append(ctx_.Text(786));
    for (const QString& folder : updater.Searched)
        lines.append(QStringLiteral("    ") + QDir::toNativeSeparators(folder));
    lines.append(ctx_.Text(787));
    lines.append(ctx_.Text(788) + QDir::toNativeSeparators(updater.Parameter_File));
    return lines.join(QLatin1Char('\n'));
}

QString TFBoot::Unstartable_Updater_Text(const Updater_Lookup& updater,
                                         const QString& reason) const {
    QStringList lines{ctx_.Text(789) + QDir::toNativeSeparators(updater.Program)};
    if (!reason.isEmpty())
        lines.append(ctx_.Text(790) + reason);
    lines.append(ctx_.Text(788) + QDir::toNativeSeparators(updater.Parameter_File));
    return lines.join(QLatin1Char('\n'));
}

void TFBoot::Compile_XML_Parameter() {
    Compile_XML_Parameter(Find_Updater(ctx_.state).Parameter_File);
}

void TFBoot::Compile_XML_Parameter(const QString& path) {
    const App_State& state = ctx_.state;
    Flashlink_Request request;
    request.IP_Address = IP_Address_Text();
    request.Update_Option = CB_Update_Options->currentIndex();
    request.Read_Back = CB_Update_Option_Read_Back->isChecked();
    request.Master_Dir = state.Master_Dir;
    request.Project_Dir = state.Project_Dir;
    Write_Flashlink_File(path, request);
}

Launch_Report TFBoot::Start_Updater(const QString& program) {
    if (!ctx_.launcher)
        return {false, QString()};
    return ctx_.launcher->Launch(program, QString(), false);
}

void TFBoot::done(int result) {
    // Closing the dialog while the device is being checked drops the update.
    if (busy_)
        abandoned_ = true;
    Tessaro_Dialog::done(result);
}
