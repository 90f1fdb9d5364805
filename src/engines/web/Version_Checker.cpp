#include "web/Version_Checker.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>

namespace {

// The answer is one short line; anything much longer is not an answer of the version query.
constexpr qint64 Max_Answer_Bytes = 64 * 1024;

QString Answer_Text(const QByteArray& body) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(body);
    return utf8.hasError() ? QString::fromLatin1(body) : text;
}

} // namespace

Version_Checker::Version_Checker(QObject* parent)
    : QObject(parent)
    , http_(new QNetworkAccessManager(this))
    , timeout_(new QTimer(this)) {
    timeout_->setSingleShot(true);
    connect(timeout_, &QTimer::timeout, this, [this] {
        if (reply_)
            reply_->abort();
    });
}

Version_Checker::~Version_Checker() {
    Abort();
}

bool Version_Checker::Check_Version(const Version_Server& server) {
    if (reply_)
        return false;
    QNetworkRequest request(Version_Query_Url(server));
    request.setRawHeader("Accept", Version_Query_Accept);
    request.setRawHeader("User-Agent", Version_Query_User_Agent);
    // No cookies: none is sent and none is kept.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    too_long_ = false;
    reply_ = http_->get(request);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > Max_Answer_Bytes && reply_) {
            too_long_ = true;
            reply_->abort();
        }
    });
    connect(reply_, &QNetworkReply::finished, this, &Version_Checker::Reply_Finished);
    timeout_->start(server.timeout_ms);
    return true;
}

void Version_Checker::Abort() {
    timeout_->stop();
    if (!reply_)
        return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void Version_Checker::Reply_Finished() {
    timeout_->stop();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    // A failed request leaves the answer empty.
    QString answer;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && !too_long_ && status >= 200 && status < 300)
        answer = Answer_Text(reply->readAll());
    emit Version_Checked(Is_Newer_Version(answer));
}
