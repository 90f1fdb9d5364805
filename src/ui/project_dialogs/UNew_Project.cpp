#include "project_dialogs/UNew_Project.h"

#include "state/Configurations.h"
#include "widgets/Look.h"

#include <QKeyEvent>
#include <QStyle>

namespace {

constexpr int Client_Width = 331;
constexpr int Client_Height = 162;

} // namespace

TFNew_Project::TFNew_Project(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFNew_Project", true)
    , ctx_(context) {
    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    P_Title->setGeometry(0, 0, Client_Width, 69);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    Label1 = look::Add_Label(this, "Label1", QPoint(16, 70));

    E_New_Proj = new QLineEdit(this);
    E_New_Proj->setObjectName(QStringLiteral("E_New_Proj"));
    E_New_Proj->setGeometry(16, 94, 297, 21);
    look::Set_Show_Hint(E_New_Proj, true);
    E_New_Proj->installEventFilter(this);

    P_Button = look::Make_Panel(this, "P_Button", 40);
    P_Button->setGeometry(0, Client_Height - 40, Client_Width, 40);
    Btn_OK = new Styled_Button(P_Button, "Btn_OK");
    Btn_OK->setGeometry(85, 6, 110, 28);
    Btn_OK->Set_Glyph(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(Btn_OK, &QPushButton::clicked, this, &TFNew_Project::Btn_OKClick);
    Btn_Cancel = new Styled_Button(P_Button, "Btn_Cancel");
    Btn_Cancel->setGeometry(203, 6, 110, 28);
    Btn_Cancel->Set_Glyph(style()->standardIcon(QStyle::SP_DialogCancelButton));
    Btn_Cancel->Set_Modal_Result(QDialog::Rejected);
    // Enter presses the focused button (in the name field it is OK, see E_New_ProjKeyPress).
    Btn_OK->setAutoDefault(true);
    Btn_Cancel->setAutoDefault(true);

    QWidget::setTabOrder(E_New_Proj, Btn_OK);
    QWidget::setTabOrder(Btn_OK, Btn_Cancel);

    // Creation: the software code, the client area and the texts.
    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    look::Set_Client_Size(this, Client_Width, Client_Height, true);
    Set_Lang();
}

void TFNew_Project::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[100]);
    look::Set_Caption(L_SW_Desc, t[101]);
    look::Set_Caption(Label1, t[102]);
    Btn_OK->setText(t[103]);
    Btn_Cancel->setText(t[104]);
    look::Set_Hint(E_New_Proj, t[108]);
    Btn_OK->Set_Hint(t[109]);
    Btn_Cancel->Set_Hint(t[110]);
}

void TFNew_Project::showEvent(QShowEvent* event) {
    FormShow();
    Tessaro_Dialog::showEvent(event);
}

void TFNew_Project::FormShow() {
    E_New_Proj->clear();
    if (E_New_Proj->isEnabled())
        E_New_Proj->setFocus(Qt::OtherFocusReason);
}

bool TFNew_Project::E_New_ProjKeyPress(int key) {
    // The character 13 or either Enter key.
    if (key != '\r' && key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    Btn_OKClick();
    return true;
}

bool TFNew_Project::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E_New_Proj && event->type() == QEvent::KeyPress &&
        E_New_ProjKeyPress(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return Tessaro_Dialog::eventFilter(watched, event);
}

void TFNew_Project::Btn_OKClick() {
    const New_Project_Result result = Create_New_Project_Folder(ctx_.state, E_New_Proj->text());
    if (result != New_Project_Result::Created) {
        ctx_.messages->Error(this, ctx_.Text(Error_Entry(result)));
        return;
    }
    accept();
}
