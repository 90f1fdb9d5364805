#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

// What became of one ICMP echo request.
struct Echo_Report {
    enum class Status {
        Reply,       // an echo reply came back; bytes_received counts its data
        No_Reply,    // no reply within the time-out, or the network reported the host unreachable
        Bad_Address, // the address text is not a dotted IPv4 address: nothing was sent
        Failed,      // the system refused or failed to send the request; reason says why
    };
    Status status = Status::No_Reply;
    int bytes_received = 0;
    QString reason;
    // How the request went out: "datagram socket", "raw socket" or "ping program".
    QString method;
};

// Sends ICMP echo requests. Windows use it through this interface, so tests put a fake in its
// place.
class Echo_Client {
public:
    virtual ~Echo_Client() = default;
    // Sends one echo request carrying data to the IPv4 address and waits up to timeout_ms for
    // its reply.
    virtual Echo_Report Echo(const QString& address, const QByteArray& data, int timeout_ms) = 0;
};

// A dotted IPv4 address: four decimal numbers from 0 to 255 joined by points, blanks around each
// number allowed; leading zeros do not make a number octal ("010" is 10). The address in host
// byte order, or nothing.
std::optional<quint32> Parse_IPv4_Address(const QString& text);
// The address written as four plain numbers, as the ping program understands it.
QString IPv4_Text(quint32 address);

// The echo client of the system. On Linux it asks for an ICMP datagram socket (open to the users
// that net.ipv4.ping_group_range lists) and, when that is refused, for a raw socket (root or
// CAP_NET_RAW); replies are matched by identifier, sequence number and sender. Where neither is
// permitted it runs the system's ping program for the echo; without one the echo fails with a
// reason that says that the system does not permit it. On Windows it uses IcmpSendEcho.
class Icmp_Echo final : public Echo_Client {
public:
    // The parts of the system the client uses; tests replace them.
    struct System {
        // Opens an ICMP socket of the type SOCK_DGRAM or SOCK_RAW: the descriptor, or -errno.
        std::function<int(int type)> Open_Socket;
        // The ping program, or an empty text when none is installed.
        std::function<QString()> Find_Ping;
    };
    static System Real_System();

    Icmp_Echo();
    explicit Icmp_Echo(System system);

    Echo_Report Echo(const QString& address, const QByteArray& data, int timeout_ms) override;

private:
    System system_;
};
