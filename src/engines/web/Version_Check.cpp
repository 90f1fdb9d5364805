#include "web/Version_Check.h"

#include "platform/Int_Conv.h"
#include "platform/Text.h"
#include "state/App_State.h"

int Conv_Version(const QString& text) {
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    const QString t = Trim_Text(space >= 0 ? text.mid(space + 1) : text);
    if (t.size() < 5)
        return -1;
    // The digit before the point and the three after it; the point itself is skipped.
    const QString digits = QString(t[0]) + t[2] + t[3] + t[4];
    return To_Int(digits, -1);
}

bool Is_Newer_Version(const QString& reply) {
    const QString r = Trim_Text(reply.toUpper());
    if (r.isEmpty() || r == QLatin1String("VER. 0.000"))
        return false;
    const int own = Conv_Version(QString::fromLatin1(Software_Version));
    const int server = Conv_Version(Trim_Text(reply));
    return own != -1 && server != -1 && server > own;
}

QUrl Version_Query_Url(const Version_Server& server) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(server.host);
    if (server.port > 0)
        url.setPort(server.port);
    url.setPath(QStringLiteral("/home/download/GetversionSW.asp"));
    url.setQuery(QStringLiteral("nomesw=") + QString::fromLatin1(SW_Code_Text));
    return url;
}

QUrl Home_Page_Url() {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QString::fromLatin1(Maker_Web_Host));
    url.setPath(QStringLiteral("/HOME/default.asp"));
    url.setQuery(QStringLiteral("frompg=VC40362"));
    return url;
}

QUrl Download_Page_Url() {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QString::fromLatin1(Maker_Web_Host));
    url.setPath(QStringLiteral("/Home/download/download.asp"));
    url.setFragment(QStringLiteral("VD40362"));
    return url;
}

QString Link_Caption(const QUrl& url, const QString& text) {
    return QStringLiteral("<a href=\"%1\">%2</a>")
        .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), text.toHtmlEscaped());
}
