#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "web/Version_Check.h"

class QNetworkAccessManager;

// Asks the web server for the newest version of the program without blocking the windows: the
// answer comes back through Version_Checked. One query at a time; it ends, at the latest, after
// the server's time-out. Every failure (no connection, an error status, a time-out, an answer of
// another shape) counts as "no newer version" and shows no message.
class Version_Checker : public QObject {
    Q_OBJECT
public:
    explicit Version_Checker(QObject* parent = nullptr);
    ~Version_Checker() override;

    // Starts the query; false (and nothing started) while one is running.
    bool Check_Version(const Version_Server& server);
    bool Running() const { return reply_ != nullptr; }
    // Drops the running query without an answer.
    void Abort();

signals:
    // newer: the server names a newer version than the program's own.
    void Version_Checked(bool newer);

private:
    void Reply_Finished();

    QNetworkAccessManager* http_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QTimer* timeout_ = nullptr;
    bool too_long_ = false;
};
