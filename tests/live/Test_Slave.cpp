#include "Test_Slave.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QModbusDataUnitMap>
#include <QThread>
#include <QTimer>

quint16 Free_Port() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

class Test_Slave::Server : public QModbusTcpServer {
public:
    int writes = 0;
    int requests = 0;

protected:
    QModbusResponse processRequest(const QModbusPdu& request) override {
        ++requests;
        switch (request.functionCode()) {
        case QModbusPdu::WriteSingleCoil:
        case QModbusPdu::WriteSingleRegister:
        case QModbusPdu::WriteMultipleCoils:
        case QModbusPdu::WriteMultipleRegisters:
            ++writes;
            break;
        default:
            break;
        }
        return QModbusTcpServer::processRequest(request);
    }
};

Test_Slave::Test_Slave(int unit)
    : server_(std::make_unique<Server>()) {
    QModbusDataUnitMap map;
    for (auto table : {QModbusDataUnit::Coils, QModbusDataUnit::DiscreteInputs,
                       QModbusDataUnit::InputRegisters, QModbusDataUnit::HoldingRegisters})
        map.insert(table, {table, 0, Size});
    server_->setMap(map);
    server_->setServerAddress(unit);
}

int Test_Slave::Writes() const {
    return server_->writes;
}

int Test_Slave::Requests() const {
    return server_->requests;
}

Test_Slave::~Test_Slave() {
    Close();
    // The slave frees what it holds per connection when the connection's socket is deleted,
    // which it leaves to the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool Test_Slave::Listen(quint16 port) {
    // A port found free may be taken again before the slave listens: try a few.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const quint16 try_port = port ? port : Free_Port();
        server_->setConnectionParameter(QModbusDevice::NetworkAddressParameter,
                                        QStringLiteral("127.0.0.1"));
        server_->setConnectionParameter(QModbusDevice::NetworkPortParameter, try_port);
        if (server_->connectDevice()) {
            port_ = try_port;
            return true;
        }
        if (port)
            QThread::msleep(50); // the port of a slave just closed may still be in use
    }
    return false;
}

void Test_Slave::Close() {
    if (server_->state() != QModbusDevice::UnconnectedState)
        server_->disconnectDevice();
}

void Test_Slave::Set(QModbusDataUnit::RegisterType table, int address, quint16 value) {
    server_->setData(table, static_cast<quint16>(address), value);
}

quint16 Test_Slave::Get(QModbusDataUnit::RegisterType table, int address) const {
    quint16 value = 0;
    server_->data(table, static_cast<quint16>(address), &value);
    // The slave keeps a coil written by function 5 as 0xFF00.
    if (table == QModbusDataUnit::Coils || table == QModbusDataUnit::DiscreteInputs)
        return value ? 1 : 0;
    return value;
}

Silent_Slave::Silent_Slave() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection())
            sockets_.push_back(socket); // kept open, never read, owned by the server
    });
}

bool Wait_For(const std::function<bool()>& done, int limit_ms) {
    if (done())
        return true;
    // The event loop runs as it does in the program; the condition is looked at every few ms.
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    look.start(2);
    QTimer::singleShot(limit_ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}
