#include "options_dialog/USoftOptions.h"

#include "lang/Language_File.h"
#include "lang/Language_List.h"
#include "web/Version_Check.h"
#include "web/Version_Checker.h"
#include "widgets/Look.h"
#include "widgets/Styled_Button.h"

#include <QBitmap>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>

namespace {

constexpr int Client_Width = 509;
constexpr int Client_Height = 373;
constexpr int Title_Height = 69;
constexpr int Button_Panel_Height = 40;
constexpr int Flag_Size = 48;

struct Slot_Place {
    QPoint picture;
    QPoint label;
};
constexpr Slot_Place Slot_Places[TFSoftOptions::Slot_Count] = {
    {{24, 40}, {80, 56}},   {{26, 94}, {80, 110}},   {{24, 148}, {80, 164}},
    {{254, 40}, {310, 56}}, {{254, 94}, {310, 110}}, {{254, 148}, {310, 164}},
};

QCheckBox* Add_Check_Box(QWidget* parent, const char* name, QPoint position) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->move(position);
    return box;
}

void Set_Check_Caption(QCheckBox* box, const QString& text) {
    box->setText(text);
    box->adjustSize();
}

} // namespace

TFSoftOptions::TFSoftOptions(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFSoftOptions", true)
    , ctx_(context) {
    version_checker_ = new Version_Checker(this);
    version_checker_->setObjectName(QStringLiteral("Version_Checker"));
    connect(version_checker_, &Version_Checker::Version_Checked, this,
            &TFSoftOptions::Show_Version_Result);
    Build_Controls();
    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    Set_Lang();
}

void TFSoftOptions::Build_Controls() {
    QStyle* style = this->style();

    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    P_Title->setGeometry(0, 0, Client_Width, Title_Height);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    PC_Options = new QTabWidget(this);
    PC_Options->setObjectName(QStringLiteral("PC_Options"));
    PC_Options->setGeometry(0, Title_Height, Client_Width,
                            Client_Height - Title_Height - Button_Panel_Height);

    // Languages.
    TS_Language = new QWidget;
    TS_Language->setObjectName(QStringLiteral("TS_Language"));
    PC_Options->addTab(TS_Language, QString());
    L_Sel_Lang = look::Add_Label(TS_Language, "L_Sel_Lang", QPoint(12, 11));
    for (int k = 0; k < Slot_Count; ++k) {
        const QByteArray number = QByteArray::number(k + 1);
        auto* picture = new QLabel(TS_Language);
        picture->setObjectName(QString::fromLatin1("I_L" + number));
        picture->setGeometry(QRect(Slot_Places[k].picture, QSize(Flag_Size, Flag_Size)));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->hide();
        I_L[k] = picture;
        L_L[k] = look::Add_Label(TS_Language, ("L_L" + number).constData(), Slot_Places[k].label);
        L_L[k]->hide();
        for (QLabel* target : {I_L[k], L_L[k]}) {
            target->setCursor(Qt::PointingHandCursor);
            target->installEventFilter(this);
        }
    }
    Btn_Prev = new Styled_Button(TS_Language, "Btn_Prev");
    Btn_Prev->setGeometry(12, 204, 110, 28);
    Btn_Prev->Set_Glyph(style->standardIcon(QStyle::SP_ArrowLeft));
    L_Page_Lang = look::Add_Label(TS_Language, "L_Page_Lang", QPoint(220, 212));
    Btn_Next = new Styled_Button(TS_Language, "Btn_Next");
    Btn_Next->setGeometry(379, 205, 110, 28);
    Btn_Next->Set_Glyph(style->standardIcon(QStyle::SP_ArrowRight));
    Btn_Next->setLayoutDirection(Qt::RightToLeft); // the arrow after the caption
    for (Styled_Button* button : {Btn_Prev, Btn_Next})
        connect(button, &QPushButton::clicked, this, [this, button] { Btn_NextClick(button); });

    // Connection.
    TS_Con_Options = new QWidget;
    TS_Con_Options->setObjectName(QStringLiteral("TS_Con_Options"));
    PC_Options->addTab(TS_Con_Options, QString());
    CB_En_Con = Add_Check_Box(TS_Con_Options, "CB_En_Con", QPoint(12, 16));
    CB_Update = Add_Check_Box(TS_Con_Options, "CB_Update", QPoint(36, 47));
    Btn_Check_Update = new Styled_Button(TS_Con_Options, "Btn_Check_Update");
    Btn_Check_Update->setGeometry(36, 78, 204, 28);
    Btn_Check_Update->Set_Glyph(style->standardIcon(QStyle::SP_BrowserReload));
    connect(Btn_Check_Update, &QPushButton::clicked, this, &TFSoftOptions::Btn_Check_UpdateClick);
    LL_Check_Update = new QLabel(TS_Con_Options);
    LL_Check_Update->setObjectName(QStringLiteral("LL_Check_Update"));
    LL_Check_Update->move(40, 120);
    LL_Check_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                             Qt::LinksAccessibleByKeyboard);
    LL_Check_Update->hide();
    connect(LL_Check_Update, &QLabel::linkActivated, this,
            &TFSoftOptions::LL_Check_UpdateLinkClick);

    // Tables.
    TS_Soft_Settings = new QWidget;
    TS_Soft_Settings->setObjectName(QStringLiteral("TS_Soft_Settings"));
    PC_Options->addTab(TS_Soft_Settings, QString());
    CB_Soft_Set_Jump_Table = Add_Check_Box(TS_Soft_Settings, "CB_Soft_Set_Jump_Table", {12, 16});
    CB_DoubleClick_Auto_Size =
        Add_Check_Box(TS_Soft_Settings, "CB_DoubleClick_Auto_Size", {12, 39});

    for (QCheckBox* box : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size})
        connect(box, &QCheckBox::toggled, this, &TFSoftOptions::CB_En_ConClick);

    P_Button = look::Make_Panel(this, "P_Button", Button_Panel_Height);
    P_Button->setGeometry(0, Client_Height - Button_Panel_Height, Client_Width,
                          Button_Panel_Height);
    Btn_OK = new Styled_Button(P_Button, "Btn_OK");
    Btn_OK->setGeometry(16, 6, 110, 28);
    Btn_OK->Set_Glyph(style->standardIcon(QStyle::SP_DialogApplyButton));
    connect(Btn_OK, &QPushButton::clicked, this, &TFSoftOptions::Btn_OKClick);
    Btn_Cancel = new Styled_Button(P_Button, "Btn_Cancel");
    Btn_Cancel->setGeometry(134, 6, 110, 28);
    Btn_Cancel->Set_Glyph(style->standardIcon(QStyle::SP_DialogCancelButton));
    Btn_Cancel->Set_Modal_Result(QDialog::Rejected);

    // The pages take the window's colour, as the rest of the dialog.
    for (QWidget* page : {TS_Language, TS_Con_Options, TS_Soft_Settings}) {
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, look::Window_Colour());
        page->setPalette(palette);
        page->setAutoFillBackground(true);
    }

    look::Set_Client_Size(this, Client_Width, Client_Height, true);
}

Main_Form* TFSoftOptions::Main_Window() const {
    return dynamic_cast<Main_Form*>(parentWidget());
}

QString TFSoftOptions::Page_Caption(int page, int pages) const {
    return ctx_.Text(305) + QString::number(page) + ctx_.Text(306) + QString::number(pages);
}

void TFSoftOptions::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[300]);
    look::Set_Caption(L_SW_Desc, t[301]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Language), t[302]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Con_Options), t[303]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Soft_Settings), t[319]);
    // Once the languages are listed, the two labels keep showing the language chosen and the
    // page shown; before that they read "Selected Language : " and "Page 1 / 1".
    if (list_built_) {
        look::Set_Caption(L_Sel_Lang, t[304] + Language_In_Use);
        look::Set_Caption(L_Page_Lang,
                          Page_Caption(Show_Page, Language_Page_Count(SL_Languages.size())));
    } else {
        look::Set_Caption(L_Sel_Lang, t[304]);
        look::Set_Caption(L_Page_Lang, Page_Caption(1, 1));
    }
    Btn_Prev->setText(t[307]);
    Btn_Next->setText(t[308]);
    Set_Check_Caption(CB_En_Con, t[309]);
    Set_Check_Caption(CB_Update, t[310]);
    Btn_Check_Update->setText(t[311]);
    Btn_OK->setText(t[312]);
    Btn_Cancel->setText(t[313]);
    Set_Check_Caption(CB_Soft_Set_Jump_Table, t[320]);
    Set_Check_Caption(CB_DoubleClick_Auto_Size, t[321]);
}

void TFSoftOptions::Create_Lang_List() {
    SL_Languages = List_Language_Files(ctx_.state.Language_Folders());
    list_built_ = true;
    Show_Page = 1;
    Update_Lang_Page(1);
}

bool TFSoftOptions::Load_Flag(QLabel* picture, const QString& language) const {
    for (const QString& path : Flag_Files(ctx_.state.Language_Folders(), language)) {
        const QImage image(path);
        // A file that is not a picture counts as missing.
        if (image.isNull())
            continue;
        // The colour of the bottom-left pixel is the picture's transparent background.
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setMask(
            pixmap.createMaskFromColor(image.pixelColor(0, image.height() - 1), Qt::MaskInColor));
        picture->setPixmap(pixmap);
        return true;
    }
    picture->clear();
    return false;
}

void TFSoftOptions::Update_Lang_Page(int p) {
    const int count = SL_Languages.size();
    const int pages = Language_Page_Count(count);
    look::Set_Caption(L_Sel_Lang, ctx_.Text(304) + Language_In_Use);
    look::Set_Caption(L_Page_Lang, Page_Caption(p, pages));
    Btn_Prev->setVisible(p != 1);
    Btn_Next->setVisible(p != pages);
    const int on_page = std::min(Slot_Count, count - (p - 1) * Slot_Count);
    for (int k = 0; k < Slot_Count; ++k) {
        if (k >= on_page) {
            I_L[k]->hide();
            L_L[k]->hide();
            continue;
        }
        const QString name = Language_Name(SL_Languages[(p - 1) * Slot_Count + k]);
        look::Set_Caption(L_L[k], name);
        L_L[k]->show();
        I_L[k]->setVisible(Load_Flag(I_L[k], name));
    }
}

void TFSoftOptions::Update_CheckBox() {
    CB_Update->setEnabled(CB_En_Con->isChecked());
    // The button also rests while its check waits for the answer.
    Btn_Check_Update->setEnabled(CB_En_Con->isChecked() && CB_Update->isChecked() &&
                                 !Check_Running());
}

void TFSoftOptions::FormShow() {
    const App_State& state = ctx_.state;
    Language_In_Use = state.Language;
    language_applied_ = false;
    Create_Lang_List();
    Update_CheckBox();
    LL_Check_Update->hide();
    PC_Options->setCurrentWidget(TS_Language);
    CB_En_Con->setChecked(state.Enable_Internet);
    CB_Update->setChecked(state.Enable_Update);
    CB_Soft_Set_Jump_Table->setChecked(state.Enable_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->setChecked(state.Double_Click_Auto_Size);
    Update_CheckBox();
}

void TFSoftOptions::Btn_NextClick(QObject* sender) {
    const int pages = Language_Page_Count(SL_Languages.size());
    if (sender == Btn_Next) {
        if (pages >= Show_Page + 1)
            ++Show_Page;
    } else if (sender == Btn_Prev) {
        if (Show_Page >= 2)
            --Show_Page;
    }
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(QObject* sender) {
    for (int k = 0; k < Slot_Count; ++k) {
        if (sender == I_L[k] || sender == L_L[k]) {
            LangClick(k + 1);
            return;
        }
    }
}

void TFSoftOptions::LangClick(int slot) {
    const int item = (Show_Page - 1) * Slot_Count + slot - 1;
    if (slot < 1 || slot > Slot_Count || item < 0 || item >= SL_Languages.size())
        return;
    const QString name = Language_Name(SL_Languages[item]);
    const QString question =
        ctx_.Text(316) + Language_In_Use + ctx_.Text(317) + name + ctx_.Text(318);
    if (!ctx_.messages->Confirm(this, question))
        return;
    Language_In_Use = name;
    // The table takes the new language now; App_State keeps the old name until OK.
    App_State& state = ctx_.state;
    const QString previous = state.Language;
    state.Language = name;
    Init_Language(state, ctx_.lang);
    state.Language = previous;
    language_applied_ = true;
    Apply_Language_Change();
    look::Set_Caption(L_Sel_Lang, ctx_.Text(304) + Language_In_Use);
}

void TFSoftOptions::Apply_Language_Change() {
    if (Main_Form* main = Main_Window())
        main->Change_Language();
    else
        Set_Lang();
}

void TFSoftOptions::CB_En_ConClick() {
    Update_CheckBox();
}

void TFSoftOptions::Btn_OKClick() {
    App_State& state = ctx_.state;
    state.Language = Language_In_Use;
    state.Enable_Internet = CB_En_Con->isChecked();
    state.Enable_Update = CB_Update->isChecked();
    state.Enable_Jump_Field_Tables = CB_Soft_Set_Jump_Table->isChecked();
    state.Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->isChecked();
    if (Main_Form* main = Main_Window())
        main->Set_Update_Timer(state.Enable_Internet && state.Enable_Update);
    accept();
}

void TFSoftOptions::done(int result) {
    // Cancel after a language change: the windows go back to the language still saved.
    if (result != QDialog::Accepted && language_applied_) {
        Init_Language(ctx_.state, ctx_.lang);
        Language_In_Use = ctx_.state.Language;
        Apply_Language_Change();
    }
    language_applied_ = false;
    Tessaro_Dialog::done(result);
}

bool TFSoftOptions::Check_Running() const {
    return version_checker_->Running();
}

void TFSoftOptions::Btn_Check_UpdateClick() {
    if (Check_Running())
        return;
    LL_Check_Update->hide();
    version_checker_->Check_Version(ctx_.Version_Query);
    Update_CheckBox();
}

void TFSoftOptions::Show_Version_Result(bool newer) {
    if (newer) {
        LL_Check_Update->setTextFormat(Qt::RichText);
        LL_Check_Update->setText(Link_Caption(Download_Page_Url(), ctx_.Text(314)));
    } else {
        LL_Check_Update->setTextFormat(Qt::PlainText);
        LL_Check_Update->setText(ctx_.Text(315));
    }
    LL_Check_Update->adjustSize();
    LL_Check_Update->show();
    Update_CheckBox();
}

void TFSoftOptions::LL_Check_UpdateLinkClick(const QString& link) {
    ctx_.Open_Url(QUrl(link));
}

void TFSoftOptions::showEvent(QShowEvent* event) {
    Tessaro_Dialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFSoftOptions::hideEvent(QHideEvent* event) {
    // An answer that comes after the dialog has closed would have nowhere to show.
    version_checker_->Abort();
    Update_CheckBox();
    Tessaro_Dialog::hideEvent(event);
}

bool TFSoftOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && widget &&
            widget->rect().contains(mouse->position().toPoint())) {
            LangClick(watched);
            return true;
        }
    }
    return Tessaro_Dialog::eventFilter(watched, event);
}
