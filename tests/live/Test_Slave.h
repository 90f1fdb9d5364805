#pragma once

#include <QModbusTcpServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <vector>

// Slaves for the dry-run tests, only ever on 127.0.0.1.

// A free TCP port on 127.0.0.1 (nothing listens on it once this returns).
quint16 Free_Port();

// A Modbus TCP slave with 100 coils, discrete inputs, input registers and holding registers from
// address 0; requests beyond them get the exception "illegal data address". Counts the requests
// it receives.
class Test_Slave {
public:
    explicit Test_Slave(int unit = 1);
    ~Test_Slave();
    // Listens on port (a free one when 0); false when it could not.
    bool Listen(quint16 port = 0);
    void Close();
    quint16 Port() const { return port_; }

    void Set(QModbusDataUnit::RegisterType table, int address, quint16 value);
    // A coil or discrete input as 0 or 1, a register as it is.
    quint16 Get(QModbusDataUnit::RegisterType table, int address) const;
    // Write requests (functions 5, 6, 15 and 16) received, answered or not.
    int Writes() const;
    // Requests received, of any function.
    int Requests() const;

    static constexpr int Size = 100;

private:
    class Server;
    std::unique_ptr<Server> server_;
    quint16 port_ = 0;
};

// A TCP server on 127.0.0.1 that accepts connections and never answers, for time-outs.
class Silent_Slave {
public:
    Silent_Slave();
    quint16 Port() const { return server_.serverPort(); }
    int Connections() const { return static_cast<int>(sockets_.size()); }

private:
    QTcpServer server_;
    std::vector<QTcpSocket*> sockets_;
};

// Processes events until done() holds or limit_ms passed; gives done().
bool Wait_For(const std::function<bool()>& done, int limit_ms = 10000);
