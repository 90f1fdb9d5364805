#include "Test_Http_Server.h"

#include <QHostAddress>

Test_Http_Server::Test_Http_Server() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            QObject::connect(socket, &QTcpSocket::readyRead, this,
                             [this, socket] { Read(socket); });
        }
    });
}

void Test_Http_Server::Read(QTcpSocket* socket) {
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    requests.append(buffer.left(end));
    if (answer.hold)
        held_.append(socket);
    else
        Send(socket);
}

void Test_Http_Server::Send(QTcpSocket* socket) {
    QByteArray reply = "HTTP/1.0 " + QByteArray::number(answer.status) + " Status\r\n";
    reply += "Content-Type: text/html\r\n";
    reply += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    reply += "Connection: close\r\n";
    reply += answer.extra_headers;
    reply += "\r\n";
    reply += answer.body;
    socket->write(reply);
    socket->disconnectFromHost();
}

void Test_Http_Server::Release() {
    for (const QPointer<QTcpSocket>& socket : held_)
        if (socket)
            Send(socket);
    held_.clear();
}

QByteArray Test_Http_Server::Request_Line(const QByteArray& head) {
    return head.left(head.indexOf("\r\n"));
}

QByteArray Test_Http_Server::Header(const QByteArray& head, const QByteArray& name) {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

bool Test_Http_Server::Has_Header(const QByteArray& head, const QByteArray& name) {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return true;
    }
    return false;
}

quint16 Test_Http_Server::Closed_Port() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
