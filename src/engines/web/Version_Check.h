#pragma once

#include <QString>
#include <QUrl>

#include "web/Web.h"

// The web server asked for the newest version of the program. The program asks the maker's
// site; tests point it at a server of their own on the loopback address.
struct Version_Server {
    QString host = QString::fromLatin1(Maker_Web_Host);
    // -1: the scheme's default port.
    int port = -1;
    // The whole query, from the request to the last byte of the answer, must end within this.
    int timeout_ms = 10000;
};

// The value of a version text: "1.002" gives 1002, "VER. 1.002" too (the text after the first
// space is read). Only one digit, a point and three digits are understood; -1 otherwise.
int Conv_Version(const QString& text);

// True when the server's answer names a newer version than the program's own. An empty answer
// (also the one of a failed request), "VER. 0.000" (no version known for this software) or an
// answer of another shape gives false.
bool Is_Newer_Version(const QString& reply);

// The query: http://host/home/download/GetversionSW.asp?nomesw=VC40362
QUrl Version_Query_Url(const Version_Server& server);
// The maker's home page, opened by the web labels.
QUrl Home_Page_Url();
// The maker's download page for this software.
QUrl Download_Page_Url();
// The caption of a link label that leads to url: an anchor with text as its (escaped) text.
QString Link_Caption(const QUrl& url, const QString& text);

// The request headers of the query.
inline constexpr char Version_Query_Accept[] =
    "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
inline constexpr char Version_Query_User_Agent[] = "Mozilla/3.0 (compatible; Indy Library)";
