#include "comm_dialog/UParGen.h"

#include "context/Save_File.h"
#include "lang/Error_Texts.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "widgets/Look.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int Client_Width = 312;
constexpr int Group_Width = 296;
constexpr int Group_Left = 8;
constexpr int Group_Caption_Height = 26;
constexpr int Edit_Height = 21;
constexpr int Address_Lefts[4] = {16, 82, 148, 214};
constexpr int Dot_Lefts[3] = {77, 143, 209};

// The 11 by 11 picture of a fold button: a framed minus, or a framed plus to unfold.
QIcon Fold_Picture(bool expand) {
    QPixmap picture(11, 11);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(look::Grey());
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, 10, 10);
    painter.setPen(look::Dark_Grey());
    painter.drawLine(3, 5, 7, 5);
    if (expand)
        painter.drawLine(5, 3, 5, 7);
    painter.end();
    return QIcon(picture);
}

int Bottom_Of(const QWidget* widget) {
    return widget->y() + widget->height();
}

} // namespace

TFParGen::TFParGen(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFParGen", true)
    , ctx_(context) {
    // Creation: controls, the software code, both groups expanded, the layout and the texts.
    Build_Controls();
    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    GB_DMX->hide();
    GB_Modbus_TCP_Master->hide();
    Collapse_Expand_Creation();
    Move_GroupBoxs();
    Set_Lang();
}

QLineEdit* TFParGen::Add_Edit(QWidget* group, const char* name, int left, int top, int width) {
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, width, Edit_Height);
    look::Set_Show_Hint(edit, true);
    connect(edit, &QLineEdit::textChanged, this, &TFParGen::On_Change);
    return edit;
}

Styled_Button* TFParGen::Add_Fold_Button(QWidget* group, const char* name, bool expand) {
    auto* button = new Styled_Button(group, name);
    button->Set_Glyph(Fold_Picture(expand));
    button->setIconSize(QSize(11, 11));
    button->setFocusPolicy(Qt::TabFocus);
    // A bare picture, not the framed face of the other buttons.
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0px; }"
                                         "QPushButton:focus { border: 1px dotted #7F9DB9; }"));
    button->setGeometry(280, 10, 11, 11);
    button->Set_Show_Hint(true);
    if (expand)
        connect(button, &QPushButton::clicked, this, [this, button] { Btn_GB_Expande(button); });
    else
        connect(button, &QPushButton::clicked, this, [this, button] { Btn_GB_Collapse(button); });
    return button;
}

void TFParGen::Add_Address_Row(QWidget* group, int top, const char* const names[4],
                               QLineEdit* edits[4]) {
    for (int i = 0; i < 4; ++i) {
        edits[i] = Add_Edit(group, names[i], Address_Lefts[i], top, 60);
        edits[i]->installEventFilter(this);
        address_edits_.append(edits[i]);
    }
    for (int i = 0; i < 3; ++i) {
        QLabel* dot = look::Add_Label(group, "", QPoint(Dot_Lefts[i], top + 3));
        look::Set_Caption(dot, QStringLiteral("."));
    }
}

void TFParGen::Build_Controls() {
    using look::Label_Style;
    const look::Title_Panel title = look::Add_Title_Labels(this);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    GB_DMX = new QGroupBox(this);
    GB_DMX->setObjectName(QStringLiteral("GB_DMX"));
    GB_DMX->setGeometry(Group_Left, 70, Group_Width, 91);
    L_DMX_DMX = look::Add_Label(GB_DMX, "L_DMX_DMX", QPoint(16, 24));
    CB_DMX_DMX = new QComboBox(GB_DMX);
    CB_DMX_DMX->setObjectName(QStringLiteral("CB_DMX_DMX"));
    CB_DMX_DMX->setGeometry(82, 21, 192, Edit_Height);
    CB_DMX_DMX->addItems({QStringLiteral("IN"), QStringLiteral("OUT")});
    look::Set_Show_Hint(CB_DMX_DMX, true);
    connect(CB_DMX_DMX, &QComboBox::currentIndexChanged, this, &TFParGen::On_Change);
    L_DMX_Num_Channal = look::Add_Label(GB_DMX, "L_DMX_Num_Channal", QPoint(16, 58));
    E_DMX_Num_Channel = Add_Edit(GB_DMX, "E_DMX_Num_Channel", 148, 55, 126);
    Btn_DMX_Collapse = Add_Fold_Button(GB_DMX, "Btn_DMX_Collapse", false);
    Btn_DMX_Expande = Add_Fold_Button(GB_DMX, "Btn_DMX_Expande", true);

    GB_Modbus_TCP_Master = new QGroupBox(this);
    GB_Modbus_TCP_Master->setObjectName(QStringLiteral("GB_Modbus_TCP_Master"));
    GB_Modbus_TCP_Master->setGeometry(Group_Left, 167, Group_Width, 258);
    QGroupBox* master = GB_Modbus_TCP_Master;
    L_Modbus_TCP_Master_IP_Add = look::Add_Label(master, "L_Modbus_TCP_Master_IP_Add", {16, 24});
    static const char* const ip_names[4] = {"E_IP1_Modbus_TCP_Master", "E_IP2_Modbus_TCP_Master",
                                            "E_IP3_Modbus_TCP_Master", "E_IP4_Modbus_TCP_Master"};
    Add_Address_Row(master, 43, ip_names, E_IP);
    L_Modbus_TCP_Master_SM_Add = look::Add_Label(master, "L_Modbus_TCP_Master_SM_Add", {16, 79});
    static const char* const sm_names[4] = {"E_SM1_Modbus_TCP_Master", "E_SM2_Modbus_TCP_Master",
                                            "E_SM3_Modbus_TCP_Master", "E_SM4_Modbus_TCP_Master"};
    Add_Address_Row(master, 98, sm_names, E_SM);
    CB_En_GAT_Modbus_TCP_Master = new QCheckBox(master);
    CB_En_GAT_Modbus_TCP_Master->setObjectName(QStringLiteral("CB_En_GAT_Modbus_TCP_Master"));
    CB_En_GAT_Modbus_TCP_Master->move(17, 134);
    look::Set_Show_Hint(CB_En_GAT_Modbus_TCP_Master, true);
    connect(CB_En_GAT_Modbus_TCP_Master, &QCheckBox::toggled, this, &TFParGen::On_Click);
    static const char* const gat_names[4] = {"E_GAT1_Modbus_TCP_Master", "E_GAT2_Modbus_TCP_Master",
                                             "E_GAT3_Modbus_TCP_Master",
                                             "E_GAT4_Modbus_TCP_Master"};
    Add_Address_Row(master, 154, gat_names, E_GAT);
    L_ModbusTCPMaster_TimeOut = look::Add_Label(master, "L_ModbusTCPMaster_TimeOut", {16, 191});
    E_TO_Modbus_TCP_Master = Add_Edit(master, "E_TO_Modbus_TCP_Master", 148, 188, 126);
    L_ModbusTCPMaster_CyclicDelay =
        look::Add_Label(master, "L_ModbusTCPMaster_CyclicDelay", {16, 225});
    E_CD_Modbus_TCP_Master = Add_Edit(master, "E_CD_Modbus_TCP_Master", 148, 222, 126);
    Btn_Modbus_TCP_Master_Collapse =
        Add_Fold_Button(master, "Btn_Modbus_TCP_Master_Collapse", false);
    Btn_Modbus_TCP_Master_Expande = Add_Fold_Button(master, "Btn_Modbus_TCP_Master_Expande", true);

    QStyle* style = this->style();
    Btn_OK = new Styled_Button(this, "Btn_OK");
    Btn_OK->setGeometry(71, 438, 112, 28);
    Btn_OK->Set_Glyph(style->standardIcon(QStyle::SP_DialogApplyButton));
    Btn_OK->Set_Show_Hint(true);
    connect(Btn_OK, &QPushButton::clicked, this, &TFParGen::Btn_OKClick);
    Btn_Cancel = new Styled_Button(this, "Btn_Cancel");
    Btn_Cancel->setGeometry(192, 438, 112, 28);
    Btn_Cancel->Set_Glyph(style->standardIcon(QStyle::SP_DialogCancelButton));
    Btn_Cancel->Set_Show_Hint(true);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFParGen::Btn_CancelClick);

    const QList<QWidget*> tab_order = {Btn_OK,
                                       Btn_Cancel,
                                       E_DMX_Num_Channel,
                                       Btn_DMX_Collapse,
                                       Btn_DMX_Expande,
                                       CB_DMX_DMX,
                                       E_TO_Modbus_TCP_Master,
                                       E_CD_Modbus_TCP_Master,
                                       E_IP[0],
                                       E_IP[1],
                                       E_IP[2],
                                       E_IP[3],
                                       E_SM[0],
                                       E_SM[1],
                                       E_SM[2],
                                       E_SM[3],
                                       CB_En_GAT_Modbus_TCP_Master,
                                       E_GAT[0],
                                       E_GAT[1],
                                       E_GAT[2],
                                       E_GAT[3],
                                       Btn_Modbus_TCP_Master_Collapse,
                                       Btn_Modbus_TCP_Master_Expande};
    for (qsizetype i = 1; i < tab_order.size(); ++i)
        QWidget::setTabOrder(tab_order[i - 1], tab_order[i]);
}

void TFParGen::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[400]);
    look::Set_Caption(L_SW_Desc, t[401]);
    Btn_OK->setText(t[402]);
    Btn_OK->Set_Hint(t[480]);
    Btn_Cancel->setText(t[403]);
    Btn_Cancel->Set_Hint(t[481]);
    GB_DMX->setTitle(t[404]);
    look::Set_Caption(L_DMX_DMX, t[405]);
    look::Set_Caption(L_DMX_Num_Channal, t[406]);
    for (Styled_Button* button : {Btn_DMX_Collapse, Btn_Modbus_TCP_Master_Collapse})
        look::Set_Hint(button, t[412]);
    for (Styled_Button* button : {Btn_DMX_Expande, Btn_Modbus_TCP_Master_Expande})
        look::Set_Hint(button, t[413]);
    look::Set_Hint(CB_DMX_DMX, t[428]);
    look::Set_Hint(E_DMX_Num_Channel, t[429]);
    GB_Modbus_TCP_Master->setTitle(t[445]);
    look::Set_Caption(L_Modbus_TCP_Master_IP_Add, t[446]);
    look::Set_Caption(L_Modbus_TCP_Master_SM_Add, t[447]);
    CB_En_GAT_Modbus_TCP_Master->setText(t[448]);
    CB_En_GAT_Modbus_TCP_Master->adjustSize();
    look::Set_Hint(CB_En_GAT_Modbus_TCP_Master, t[459]);
    look::Set_Caption(L_ModbusTCPMaster_TimeOut, t[449]);
    look::Set_Caption(L_ModbusTCPMaster_CyclicDelay, t[450]);
    for (int i = 0; i < 4; ++i) {
        look::Set_Hint(E_IP[i], t[451 + i]);
        look::Set_Hint(E_SM[i], t[455 + i]);
        look::Set_Hint(E_GAT[i], t[460 + i]);
    }
    look::Set_Hint(E_TO_Modbus_TCP_Master, t[464]);
    look::Set_Hint(E_CD_Modbus_TCP_Master, t[465]);
}

void TFParGen::Collapse_Expand_Creation() {
    GB_DMX_Visible = true;
    GB_Modbus_TCP_Master_Visible = true;
    for (Styled_Button* button : {Btn_DMX_Collapse, Btn_DMX_Expande, Btn_Modbus_TCP_Master_Collapse,
                                  Btn_Modbus_TCP_Master_Expande})
        button->move(280, 10);
    Btn_DMX_Collapse->show();
    Btn_Modbus_TCP_Master_Collapse->show();
    Btn_DMX_Expande->hide();
    Btn_Modbus_TCP_Master_Expande->hide();
}

void TFParGen::Move_GroupBoxs() {
    GB_DMX->move(Group_Left, 70);
    GB_DMX->show();
    GB_DMX->resize(Group_Width,
                   GB_DMX_Visible ? Bottom_Of(E_DMX_Num_Channel) + 15 : Group_Caption_Height);

    GB_Modbus_TCP_Master->move(Group_Left, Bottom_Of(GB_DMX) + 6);
    GB_Modbus_TCP_Master->show();
    GB_Modbus_TCP_Master->resize(Group_Width, GB_Modbus_TCP_Master_Visible
                                                  ? Bottom_Of(E_CD_Modbus_TCP_Master) + 15
                                                  : Group_Caption_Height);

    const int master_bottom = Bottom_Of(GB_Modbus_TCP_Master);
    Btn_OK->move(Btn_OK->x(), master_bottom + 13);
    Btn_Cancel->move(Btn_Cancel->x(), Btn_OK->y());
    look::Set_Client_Size(this, Client_Width, master_bottom + 54, true);
}

void TFParGen::Set_Lower_Controls_Reachable(QGroupBox* group, bool reachable) {
    for (QWidget* control : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QPushButton*>(control) || qobject_cast<QLabel*>(control))
            continue;
        if (control->y() < Group_Caption_Height)
            continue; // on the caption line: hidden or shown with the fold
        if (!reachable) {
            if (!parked_focus_.contains(control))
                parked_focus_.insert(control, control->focusPolicy());
            control->setFocusPolicy(Qt::NoFocus);
        } else if (parked_focus_.contains(control)) {
            control->setFocusPolicy(parked_focus_.take(control));
        }
    }
}

void TFParGen::Btn_GB_Collapse(QObject* sender) {
    const bool dmx = sender == Btn_DMX_Collapse;
    QGroupBox* group = dmx ? GB_DMX : GB_Modbus_TCP_Master;
    group->resize(group->width(), Group_Caption_Height);
    if (dmx) {
        L_DMX_DMX->hide();
        CB_DMX_DMX->hide();
        Btn_DMX_Collapse->hide();
        Btn_DMX_Expande->show();
        GB_DMX_Visible = false;
    } else {
        L_Modbus_TCP_Master_IP_Add->hide();
        Btn_Modbus_TCP_Master_Collapse->hide();
        Btn_Modbus_TCP_Master_Expande->show();
        GB_Modbus_TCP_Master_Visible = false;
    }
    // The fields below the caption line are cut off by the frame: keep the keyboard out of them.
    Set_Lower_Controls_Reachable(group, false);
    Move_GroupBoxs();
}

void TFParGen::Btn_GB_Expande(QObject* sender) {
    const bool dmx = sender == Btn_DMX_Expande;
    QGroupBox* group = dmx ? GB_DMX : GB_Modbus_TCP_Master;
    if (dmx) {
        L_DMX_DMX->show();
        CB_DMX_DMX->show();
        Btn_DMX_Collapse->show();
        Btn_DMX_Expande->hide();
        GB_DMX_Visible = true;
    } else {
        L_Modbus_TCP_Master_IP_Add->show();
        Btn_Modbus_TCP_Master_Collapse->show();
        Btn_Modbus_TCP_Master_Expande->hide();
        GB_Modbus_TCP_Master_Visible = true;
    }
    Set_Lower_Controls_Reachable(group, true);
    Move_GroupBoxs();
}

Comm_Settings TFParGen::Read_Controls() const {
    Comm_Settings s;
    s.Set_DMX_Index(CB_DMX_DMX->currentIndex());
    s.DMX_Num_Channels = E_DMX_Num_Channel->text();
    s.Modbus_TCP_Master_TimeOut = E_TO_Modbus_TCP_Master->text();
    s.Modbus_TCP_Master_Cyclic = E_CD_Modbus_TCP_Master->text();
    QString* ip[4] = {&s.Modbus_TCP_Master_IP1, &s.Modbus_TCP_Master_IP2, &s.Modbus_TCP_Master_IP3,
                      &s.Modbus_TCP_Master_IP4};
    QString* sm[4] = {&s.Modbus_TCP_Master_SM1, &s.Modbus_TCP_Master_SM2, &s.Modbus_TCP_Master_SM3,
                      &s.Modbus_TCP_Master_SM4};
    QString* gat[4] = {&s.Modbus_TCP_Master_GAT1, &s.Modbus_TCP_Master_GAT2,
                       &s.Modbus_TCP_Master_GAT3, &s.Modbus_TCP_Master_GAT4};
    for (int i = 0; i < 4; ++i) {
        *ip[i] = E_IP[i]->text();
        *sm[i] = E_SM[i]->text();
        *gat[i] = E_GAT[i]->text();
    }
    s.Set_Gateway_Enabled(CB_En_GAT_Modbus_TCP_Master->isChecked());
    return s;
}

void TFParGen::Fill_Controls(const Comm_Settings& s) {
    CB_DMX_DMX->setCurrentIndex(s.DMX_Index());
    E_DMX_Num_Channel->setText(s.DMX_Num_Channels);
    E_TO_Modbus_TCP_Master->setText(s.Modbus_TCP_Master_TimeOut);
    E_CD_Modbus_TCP_Master->setText(s.Modbus_TCP_Master_Cyclic);
    const QString* ip[4] = {&s.Modbus_TCP_Master_IP1, &s.Modbus_TCP_Master_IP2,
                            &s.Modbus_TCP_Master_IP3, &s.Modbus_TCP_Master_IP4};
    const QString* sm[4] = {&s.Modbus_TCP_Master_SM1, &s.Modbus_TCP_Master_SM2,
                            &s.Modbus_TCP_Master_SM3, &s.Modbus_TCP_Master_SM4};
    const QString* gat[4] = {&s.Modbus_TCP_Master_GAT1, &s.Modbus_TCP_Master_GAT2,
                             &s.Modbus_TCP_Master_GAT3, &s.Modbus_TCP_Master_GAT4};
    for (int i = 0; i < 4; ++i) {
        E_IP[i]->setText(*ip[i]);
        E_SM[i]->setText(*sm[i]);
        E_GAT[i]->setText(*gat[i]);
    }
    CB_En_GAT_Modbus_TCP_Master->setChecked(s.Gateway_Enabled());
}

void TFParGen::FormShow() {
    const QString& path = ctx_.state.ParGen_File;
    Comm_Settings settings;
    QString problem;
    keep_unreadable_file_ = false;
    // Taken before the file is read: a change in between is then asked about, never missed.
    loaded_file_ = Take_File_Fingerprint(path);
    try {
        settings = Load_Comm_Settings(path);
    } catch (const Tessaro_Error& error) {
        keep_unreadable_file_ = true;
        problem = Error_Message(error, ctx_.lang);
    }
    Fill_Controls(settings);
    Move_GroupBoxs();
    Is_Change = false;
    if (CB_DMX_DMX->isVisibleTo(this) && CB_DMX_DMX->isEnabled())
        CB_DMX_DMX->setFocus();
    if (!problem.isEmpty())
        ctx_.messages->Error(this, problem + QStringLiteral("\n\n") +
                                       ctx_.Text(980).arg(File_Display_Name(path)));
}

void TFParGen::FormActivate() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int screen_top = screen ? screen->geometry().top() : 0;
    if (frameGeometry().top() < screen_top)
        move(x(), screen_top);
}

bool TFParGen::Controllo_Dati() {
    if (const auto message = ::Controllo_Dati(Read_Controls(), ctx_.lang)) {
        ctx_.messages->Error(this, *message);
        return false;
    }
    return true;
}

bool TFParGen::Save() {
    const QString& path = ctx_.state.ParGen_File;
    return Save_Project_File(*ctx_.messages, this, ctx_.lang, path, loaded_file_,
                             keep_unreadable_file_,
                             [&] { Save_Comm_Settings(path, Read_Controls()); });
}

void TFParGen::Btn_OKClick() {
    if (!Controllo_Dati())
        return;
    if (!Save())
        return;
    done(QDialog::Accepted);
}

void TFParGen::Btn_CancelClick() {
    if (Is_Change && !ctx_.messages->Confirm(this, ctx_.Text(444)))
        return;
    done(QDialog::Rejected);
}

void TFParGen::On_Change() {
    Is_Change = true;
}

void TFParGen::On_Click() {
    Is_Change = true;
}

void TFParGen::showEvent(QShowEvent* event) {
    // Placed first, so that a message about the file stands over the dialog.
    Tessaro_Dialog::showEvent(event);
    // A window restored by the desktop keeps what the user typed; only a new showing reloads.
    if (!event->spontaneous())
        FormShow();
}

void TFParGen::changeEvent(QEvent* event) {
    Tessaro_Dialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFParGen::keyPressEvent(QKeyEvent* event) {
    // Escape is the Cancel button: it asks before changes are thrown away.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Btn_CancelClick();
        return;
    }
    Tessaro_Dialog::keyPressEvent(event);
}

bool TFParGen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        const qsizetype i = address_edits_.indexOf(edit);
        if (i >= 0 && static_cast<QKeyEvent*>(event)->text() == QLatin1String(".")) {
            // The dot is never typed: it moves on to the next byte of the addresses.
            if (i + 1 < address_edits_.size()) {
                QLineEdit* next = address_edits_[i + 1];
                if (next->isVisibleTo(this) && next->isEnabled() &&
                    (next->focusPolicy() & Qt::TabFocus))
                    next->setFocus(Qt::TabFocusReason);
            }
            return true;
        }
    }
    return Tessaro_Dialog::eventFilter(watched, event);
}
