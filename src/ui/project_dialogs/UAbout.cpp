#include "project_dialogs/UAbout.h"

#include "web/Version_Check.h"
#include "widgets/Look.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int Client_Width = 435;
constexpr int Client_Height = 162;
constexpr char Document_Code_Text[] = "VM40362";

} // namespace

TFAbout::TFAbout(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFAbout", true)
    , ctx_(context) {
    setWindowTitle(QStringLiteral("About..."));

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(32, 24, 96, 96);
    Image2->setScaledContents(true);
    Image2->setPixmap(Product_Picture(96));
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->installEventFilter(this);

    Label1 = Add_Text("Label1", 143, 24, QStringLiteral("Software Tessaro "));
    QFont title_font = Label1->font();
    title_font.setBold(true);
    title_font.setPixelSize(13);
    Label1->setFont(title_font);
    look::Set_Caption(Label1, Label1->text());

    Label2 = Add_Text("Label2", 143, 39);
    Label6 = Add_Text("Label6", 143, 62, QStringLiteral("Software Code : "));
    Label9 = Add_Text("Label9", 255, 62);
    Label3 = Add_Text("Label3", 143, 77, QStringLiteral("Version :"));
    Label10 = Add_Text("Label10", 255, 77);
    Label8 = Add_Text("Label8", 143, 92, QStringLiteral("Document Code :"));
    Label12 = Add_Text("Label12", 255, 92);
    Label5 = Add_Text("Label5", 143, 107, QStringLiteral("Language Ver :"));
    Label7 = Add_Text("Label7", 255, 107);

    Label4 = Add_Text("Label4", 323, 141, QString::fromLatin1(Maker_Web_Host));
    QPalette link_palette = Label4->palette();
    link_palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label4->setPalette(link_palette);
    QFont link_font = Label4->font();
    link_font.setUnderline(true);
    Label4->setFont(link_font);
    look::Set_Caption(Label4, Label4->text());
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->installEventFilter(this);

    LbButton1 = new Styled_Button(this, "LbButton1");
    LbButton1->setGeometry(32, 132, 96, 22);
    LbButton1->setText(QStringLiteral("OK"));
    LbButton1->Set_Modal_Result(QDialog::Accepted);
    LbButton1->setDefault(true);

    look::Set_Client_Size(this, Client_Width, Client_Height, true);
}

QLabel* TFAbout::Add_Text(const char* name, int left, int top, const QString& text) {
    QLabel* label = look::Add_Label(this, name, QPoint(left, top), look::Label_Style::Plain);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, look::Dark_Grey());
    label->setPalette(palette);
    look::Set_Caption(label, text);
    return label;
}

void TFAbout::showEvent(QShowEvent* event) {
    FormShow();
    Tessaro_Dialog::showEvent(event);
}

void TFAbout::FormShow() {
    look::Set_Caption(Label2, QString::fromLatin1(SW_Desc_Text));
    look::Set_Caption(Label9, QString::fromLatin1(SW_Code_Text));
    look::Set_Caption(Label10, QString::fromLatin1(Software_Version));
    look::Set_Caption(Label12, QString::fromLatin1(Document_Code_Text));
    look::Set_Caption(Label7, ctx_.state.Lang_Version);
    look::Set_Client_Size(this, Client_Width, Client_Height, true);
}

void TFAbout::Label4Click() {
    ctx_.Open_Url(Home_Page_Url());
}

bool TFAbout::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Label4 || watched == Image2) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return Tessaro_Dialog::eventFilter(watched, event);
}

QPixmap Product_Picture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 100 x 100 grid.
    p.scale(size / 100.0, size / 100.0);

    // The DIN rail behind the module.
    p.setPen(QPen(QColor(120, 120, 120), 0.8));
    QLinearGradient rail(0, 44, 0, 56);
    rail.setColorAt(0, QColor(225, 225, 225));
    rail.setColorAt(0.5, QColor(170, 170, 170));
    rail.setColorAt(1, QColor(205, 205, 205));
    p.setBrush(rail);
    p.drawRect(QRectF(2, 44, 96, 12));

    // The housing.
    QLinearGradient body(20, 0, 80, 0);
    body.setColorAt(0, QColor(236, 236, 230));
    body.setColorAt(1, QColor(200, 200, 192));
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(22, 6, 56, 88), 4, 4);

    // Screw terminals at the top.
    p.setPen(QPen(QColor(30, 90, 40), 0.8));
    p.setBrush(QColor(60, 150, 70));
    p.drawRect(QRectF(26, 9, 48, 10));
    p.setPen(QPen(QColor(70, 70, 70), 0.6));
    p.setBrush(QColor(210, 210, 210));
    for (int i = 0; i < 5; ++i) {
        const QPointF centre(31 + i * 9.5, 14);
        p.drawEllipse(centre, 3, 3);
        p.drawLine(centre - QPointF(2, 0), centre + QPointF(2, 0));
    }

    // Front plate with the name and the status lights.
    p.setPen(QPen(QColor(60, 60, 60), 0.6));
    p.setBrush(QColor(48, 58, 74));
    p.drawRoundedRect(QRectF(28, 23, 44, 24), 2, 2);
    p.setPen(QColor(240, 240, 240));
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(28, 24, 44, 11), Qt::AlignCenter, QStringLiteral("DMX"));
    font.setPixelSize(6);
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRectF(28, 33, 44, 7), Qt::AlignCenter, QStringLiteral("MODBUS TCP"));
    const QColor lights[] = {QColor(60, 220, 80), QColor(255, 190, 30), QColor(230, 60, 50)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lights[i]);
        p.drawEllipse(QPointF(40 + i * 10, 43), 1.8, 1.8);
    }

    // The DMX connector (XLR, five pins).
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(QColor(150, 150, 155));
    p.drawEllipse(QPointF(50, 62), 9, 9);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(50, 62), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(215, 190, 90));
    const QPointF pins[] = {{46, 60}, {54, 60}, {50, 58}, {47.5, 65}, {52.5, 65}};
    for (const QPointF& pin : pins)
        p.drawEllipse(pin, 1, 1);

    // The Ethernet port.
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    p.setBrush(QColor(25, 25, 25));
    p.drawRect(QRectF(41, 75, 18, 13));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(46, 85, 8, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(215, 190, 90));
    for (int i = 0; i < 8; ++i)
        p.drawRect(QRectF(43 + i * 1.8, 76.5, 1, 3));
    p.setBrush(QColor(60, 220, 80));
    p.drawRect(QRectF(41.5, 75.5, 2.5, 1.5));
    p.setBrush(QColor(255, 190, 30));
    p.drawRect(QRectF(56, 75.5, 2.5, 1.5));
    return picture;
}
