#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

// A small HTTP server on 127.0.0.1 for the version query: it records each request's head and
// gives the answer set in answer, or holds the request until Release.
class Test_Http_Server : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QByteArray extra_headers; // complete lines, each ending in "\r\n"
        bool hold = false;        // keep the request waiting until Release
    };

    Test_Http_Server();
    quint16 Port() const { return server_.serverPort(); }

    // Answers the held requests with the answer as it is now.
    void Release();

    Answer answer;
    // The head of every request received (request line and headers).
    QList<QByteArray> requests;

    // The request line of a request's head and the value of one of its headers (empty when
    // absent).
    static QByteArray Request_Line(const QByteArray& head);
    static QByteArray Header(const QByteArray& head, const QByteArray& name);
    static bool Has_Header(const QByteArray& head, const QByteArray& name);

    // A loopback port on which nothing listens.
    static quint16 Closed_Port();

private:
    void Read(QTcpSocket* socket);
    void Send(QTcpSocket* socket);

    QTcpServer server_;
    QList<QPointer<QTcpSocket>> held_;
};

// Runs the event loop until done() is true or timeout_ms have passed; gives done().
template <typename Done> bool Wait_Until(Done done, int timeout_ms = 15000) {
    QDeadlineTimer deadline(timeout_ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return done();
}
