#include "project_dialogs/UOpenConf.h"

#include "state/Configurations.h"
#include "widgets/Look.h"

#include <QResizeEvent>
#include <QStyle>

namespace {

constexpr int Client_Width = 377;
constexpr int Client_Height = 351;
constexpr int Button_Width = 110;
constexpr int Button_Height = 28;

} // namespace

TFOpenConf::TFOpenConf(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFOpenConf", false)
    , ctx_(context) {
    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    Label1 = look::Add_Label(this, "Label1", QPoint(16, 70));

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    look::Set_Show_Hint(ListBox1, true);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ListBox1Click();
    });
    // A double click opens the entry, as OK does.
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        ListBox1->setCurrentItem(item);
        ListBox1Click();
        accept();
    });

    P_Button = look::Make_Panel(this, "P_Button", 40);
    Btn_OK = new Styled_Button(P_Button, "Btn_OK");
    Btn_OK->resize(Button_Width, Button_Height);
    Btn_OK->Set_Glyph(style()->standardIcon(QStyle::SP_DialogOkButton));
    Btn_OK->Set_Modal_Result(QDialog::Accepted);
    Btn_Cancel = new Styled_Button(P_Button, "Btn_Cancel");
    Btn_Cancel->resize(Button_Width, Button_Height);
    Btn_Cancel->Set_Glyph(style()->standardIcon(QStyle::SP_DialogCancelButton));
    Btn_Cancel->Set_Modal_Result(QDialog::Rejected);
    // Enter presses the focused button, and OK while the list has the focus.
    Btn_OK->setAutoDefault(true);
    Btn_Cancel->setAutoDefault(true);

    QWidget::setTabOrder(ListBox1, Btn_OK);
    QWidget::setTabOrder(Btn_OK, Btn_Cancel);

    // Small enough to shrink, large enough for the two buttons and a few entries.
    setMinimumSize(16 + Button_Width + 8 + Button_Width + 16, 94 + 60 + 6 + 40);

    // Creation: the software code, the client area and the texts.
    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    look::Set_Client_Size(this, Client_Width, Client_Height, false);
    Place_Controls();
    Set_Lang();
}

void TFOpenConf::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[200]);
    look::Set_Caption(L_SW_Desc, t[201]);
    look::Set_Caption(Label1, t[202]);
    Btn_OK->setText(t[203]);
    Btn_Cancel->setText(t[204]);
    look::Set_Hint(ListBox1, t[205]);
    Btn_OK->Set_Hint(t[206]);
    Btn_Cancel->Set_Hint(t[207]);
}

void TFOpenConf::Place_Controls() {
    const int w = width();
    const int h = height();
    P_Title->setGeometry(0, 0, w, 69);
    P_Button->setGeometry(0, h - 40, w, 40);
    const int cancel_left = w - 16 - Button_Width;
    Btn_Cancel->move(cancel_left, 6);
    Btn_OK->move(cancel_left - 8 - Button_Width, 6);
    ListBox1->setGeometry(16, 94, qMax(0, w - 16 - 16), qMax(0, P_Button->y() - 6 - 94));
}

void TFOpenConf::resizeEvent(QResizeEvent* event) {
    Tessaro_Dialog::resizeEvent(event);
    Place_Controls();
}

void TFOpenConf::showEvent(QShowEvent* event) {
    FormShow();
    Tessaro_Dialog::showEvent(event);
}

void TFOpenConf::Load_Existing_Configuration() {
    configurations_ = Existing_Configurations(ctx_.state.Projects_Dir);
}

int TFOpenConf::Search_Open_Conf(const QString& snc) const {
    return Search_Configuration(configurations_, snc);
}

void TFOpenConf::FormShow() {
    Load_Existing_Configuration();
    ListBox1->clear();
    ListBox1->addItems(configurations_);

    const int i = Search_Open_Conf(Open_Configuration_Folder(ctx_.state));
    if (i >= 0) {
        ListBox1->setCurrentRow(i);
        Name_Conf = configurations_[i];
    } else if (!configurations_.isEmpty()) {
        ListBox1->setCurrentRow(0);
        Name_Conf = configurations_[0];
    } else {
        // Nothing to open: OK must not reopen a name chosen at an earlier showing.
        Name_Conf.clear();
    }
    ListBox1->setFocus(Qt::OtherFocusReason);
}

void TFOpenConf::ListBox1Click() {
    if (const QListWidgetItem* item = ListBox1->currentItem())
        Name_Conf = item->text();
}
