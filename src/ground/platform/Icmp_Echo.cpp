#include "platform/Icmp_Echo.h"

#include "platform/Text.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_WIN
// The order matters: the ICMP header needs the types of the others.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// Echo data beyond this is cut off: one request always fits into one Ethernet frame.
constexpr int Max_Data_Bytes = 1024;

QByteArray Echo_Data(const QByteArray& data) {
    return data.left(Max_Data_Bytes);
}

Echo_Report Report(Echo_Report::Status status, const QString& reason, const QString& method,
                   int bytes = 0) {
    Echo_Report report;
    report.status = status;
    report.reason = reason;
    report.method = method;
    report.bytes_received = bytes;
    return report;
}

QString Bad_Address_Reason(const QString& address) {
    return QStringLiteral("\"%1\" is not an IPv4 address (four numbers from 0 to 255 joined by "
                          "points)")
        .arg(address);
}

} // namespace

std::optional<quint32> Parse_IPv4_Address(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    quint32 address = 0;
    for (const QString& raw : parts) {
        const QString part = Trim_Text(raw);
        if (part.isEmpty())
            return std::nullopt;
        quint32 value = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            value = value * 10 + static_cast<quint32>(c.unicode() - '0');
            if (value > 255)
                return std::nullopt;
        }
        address = (address << 8) | value;
    }
    return address;
}

QString IPv4_Text(quint32 address) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

Icmp_Echo::Icmp_Echo()
    : system_(Real_System()) {}

Icmp_Echo::Icmp_Echo(System system)
    : system_(std::move(system)) {
    const System real = Real_System();
    if (!system_.Open_Socket)
        system_.Open_Socket = real.Open_Socket;
    if (!system_.Find_Ping)
        system_.Find_Ping = real.Find_Ping;
}

#ifdef Q_OS_WIN

Icmp_Echo::System Icmp_Echo::Real_System() {
    System system;
    system.Open_Socket = [](int) { return -EPROTONOSUPPORT; };
    system.Find_Ping = [] { return QString(); };
    return system;
}

Echo_Report Icmp_Echo::Echo(const QString& address, const QByteArray& data, int timeout_ms) {
    const QString method = QStringLiteral("IcmpSendEcho");
    const std::optional<quint32> target = Parse_IPv4_Address(address);
    if (!target)
        return Report(Echo_Report::Status::Bad_Address, Bad_Address_Reason(address), method);
    const QByteArray payload = Echo_Data(data);
    HANDLE icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE)
        return Report(Echo_Report::Status::Failed,
                      QStringLiteral("IcmpCreateFile failed (error %1)").arg(GetLastError()),
                      method);
    std::vector<char> reply(sizeof(ICMP_ECHO_REPLY) + payload.size() + 8 + 256);
    IPAddr destination = htonl(*target);
    const DWORD count =
        IcmpSendEcho(icmp, destination, const_cast<char*>(payload.constData()),
                     static_cast<WORD>(payload.size()), nullptr, reply.data(),
                     static_cast<DWORD>(reply.size()), static_cast<DWORD>(timeout_ms));
    const DWORD error = GetLastError();
    IcmpCloseHandle(icmp);
    if (count > 0) {
        const auto* echo = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data());
        if (echo->Status == IP_SUCCESS)
            return Report(Echo_Report::Status::Reply, QString(), method, echo->DataSize);
        return Report(Echo_Report::Status::No_Reply,
                      QStringLiteral("ICMP status %1").arg(echo->Status), method);
    }
    if (error == IP_REQ_TIMED_OUT || error == IP_DEST_HOST_UNREACHABLE ||
        error == IP_DEST_NET_UNREACHABLE)
        return Report(Echo_Report::Status::No_Reply, QString(), method);
    return Report(Echo_Report::Status::Failed,
                  QStringLiteral("IcmpSendEcho failed (error %1)").arg(error), method);
}

#else

namespace {

constexpr quint8 Icmp_Echo_Reply = 0;
constexpr quint8 Icmp_Unreachable = 3;
constexpr quint8 Icmp_Echo_Request = 8;
constexpr quint8 Icmp_Time_Exceeded = 11;

std::atomic<quint16> Next_Sequence{1};

QString Error_Text(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The socket kind is not open to this user, or not there at all.
bool Not_Available(int error) {
    return error == EACCES || error == EPERM || error == EPROTONOSUPPORT ||
           error == ESOCKTNOSUPPORT || error == EAFNOSUPPORT;
}

quint16 Checksum(const unsigned char* data, size_t size) {
    quint32 sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<quint32>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<quint32>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

quint16 Read_16(const unsigned char* p) {
    return static_cast<quint16>(p[0] << 8 | p[1]);
}

quint32 Read_32(const unsigned char* p) {
    return static_cast<quint32>(p[0]) << 24 | static_cast<quint32>(p[1]) << 16 |
           static_cast<quint32>(p[2]) << 8 | p[3];
}

class Socket_Closer {
public:
    explicit Socket_Closer(int fd)
        : fd_(fd) {}
    ~Socket_Closer() { ::close(fd_); }
    Socket_Closer(const Socket_Closer&) = delete;
    Socket_Closer& operator=(const Socket_Closer&) = delete;

private:
    int fd_;
};

// One echo over an open ICMP socket. A raw socket receives every ICMP packet of the host with its
// IP header; a datagram socket only the replies to its own identifier, without the header (on
// Linux; other systems keep the header, which is recognised by its version nibble).
Echo_Report Socket_Echo(int fd, bool raw, quint32 target, const QByteArray& data, int timeout_ms) {
    const Socket_Closer closer(fd);
    const QString method = raw ? QStringLiteral("raw socket") : QStringLiteral("datagram socket");
    const quint16 sequence = Next_Sequence.fetch_add(1);
    // The kernel puts its own identifier into a datagram socket's requests.
    quint16 identifier = raw ? static_cast<quint16>(::getpid()) : 0;

    std::vector<unsigned char> request(8 + static_cast<size_t>(data.size()));
    request[0] = Icmp_Echo_Request;
    request[1] = 0;
    request[4] = static_cast<unsigned char>(identifier >> 8);
    request[5] = static_cast<unsigned char>(identifier);
    request[6] = static_cast<unsigned char>(sequence >> 8);
    request[7] = static_cast<unsigned char>(sequence);
    std::memcpy(request.data() + 8, data.constData(), static_cast<size_t>(data.size()));
    const quint16 sum = Checksum(request.data(), request.size());
    request[2] = static_cast<unsigned char>(sum >> 8);
    request[3] = static_cast<unsigned char>(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(target);
    QElapsedTimer clock;
    clock.start();
    if (::sendto(fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) < 0)
        return Report(Echo_Report::Status::Failed,
                      QStringLiteral("the echo request cannot be sent: %1").arg(Error_Text(errno)),
                      method);
    if (!raw) {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            identifier = ntohs(local.sin_port);
    }

    std::vector<unsigned char> buffer(65536);
    for (;;) {
        const qint64 left = timeout_ms - clock.elapsed();
        if (left <= 0)
            return Report(Echo_Report::Status::No_Reply, QString(), method);
        pollfd waiting{fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left));
        if (ready == 0)
            return Report(Echo_Report::Status::No_Reply, QString(), method);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return Report(Echo_Report::Status::Failed,
                          QStringLiteral("waiting for the reply failed: %1").arg(Error_Text(errno)),
                          method);
        }
        sockaddr_in from{};
        socklen_t from_length = sizeof from;
        const ssize_t received = ::recvfrom(fd, buffer.data(), buffer.size(), 0,
                                            reinterpret_cast<sockaddr*>(&from), &from_length);
        if (received < 0) {
            const int error = errno;
            if (error == EINTR || error == EAGAIN || error == EWOULDBLOCK)
                continue;
            // An error that the network reported for the request: the host cannot be reached.
            if (error == EHOSTUNREACH || error == ENETUNREACH || error == ECONNREFUSED)
                return Report(Echo_Report::Status::No_Reply, Error_Text(error), method);
            return Report(Echo_Report::Status::Failed,
                          QStringLiteral("the reply cannot be read: %1").arg(Error_Text(error)),
                          method);
        }
        const unsigned char* packet = buffer.data();
        size_t size = static_cast<size_t>(received);
        quint32 sender = ntohl(from.sin_addr.s_addr);
        if (raw || (size >= 20 && packet[0] >> 4 == 4)) {
            const size_t header = static_cast<size_t>(packet[0] & 0x0F) * 4;
            if (size < 20 || header < 20 || size < header)
                continue;
            sender = Read_32(packet + 12);
            packet += header;
            size -= header;
        }
        if (size < 8)
            continue;
        const quint8 type = packet[0];
        if (type == Icmp_Echo_Reply && sender == target && Read_16(packet + 4) == identifier &&
            Read_16(packet + 6) == sequence)
            return Report(Echo_Report::Status::Reply, QString(), method,
                          static_cast<int>(size - 8));
        // An error report that quotes our request: the network gave up on it.
        if (raw && (type == Icmp_Unreachable || type == Icmp_Time_Exceeded) && size >= 8 + 20) {
            const unsigned char* quoted = packet + 8;
            const size_t quoted_header = static_cast<size_t>(quoted[0] & 0x0F) * 4;
            if (quoted_header >= 20 && size >= 8 + quoted_header + 8 &&
                Read_32(quoted + 16) == target) {
                const unsigned char* original = quoted + quoted_header;
                if (original[0] == Icmp_Echo_Request && Read_16(original + 4) == identifier &&
                    Read_16(original + 6) == sequence)
                    return Report(Echo_Report::Status::No_Reply,
                                  type == Icmp_Unreachable
                                      ? QStringLiteral("destination unreachable")
                                      : QStringLiteral("time to live exceeded"),
                                  method);
            }
        }
    }
}

// One echo by the system's ping program, for users to whom the system gives no ICMP socket.
Echo_Report Ping_Program_Echo(const QString& ping, quint32 target, int timeout_ms,
                              const QString& not_permitted) {
    const QString method = QStringLiteral("ping program");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    // Whole seconds for -W suit every ping; the wait below keeps to the time-out.
    const int seconds = std::max(1, (timeout_ms + 999) / 1000);
    process.start(ping, {QStringLiteral("-n"), QStringLiteral("-c"), QStringLiteral("1"),
                         QStringLiteral("-W"), QString::number(seconds), IPv4_Text(target)});
    if (!process.waitForStarted(-1))
        return Report(Echo_Report::Status::Failed,
                      QStringLiteral("%1; the ping program %2 cannot be started: %3")
                          .arg(not_permitted, ping, process.errorString()),
                      method);
    // Some room for the program's own start beyond the time-out.
    if (!process.waitForFinished(timeout_ms + 300)) {
        process.kill();
        process.waitForFinished(-1);
        return Report(Echo_Report::Status::No_Reply, QString(), method);
    }
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) {
        // "64 bytes from 127.0.0.1: icmp_seq=1 ...": the ICMP message with its 8-byte header.
        static const QRegularExpression bytes_from(QStringLiteral("(\\d+) bytes from"));
        const QRegularExpressionMatch match = bytes_from.match(output);
        const int bytes = match.hasMatch() ? match.captured(1).toInt() - 8 : 56;
        return Report(Echo_Report::Status::Reply, QString(), method, std::max(bytes, 1));
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 1)
        return Report(Echo_Report::Status::No_Reply, QString(), method);
    QString error = Trim_Text(QString::fromLocal8Bit(process.readAllStandardError()));
    if (error.isEmpty())
        error = QStringLiteral("exit code %1").arg(process.exitCode());
    return Report(Echo_Report::Status::Failed,
                  QStringLiteral("the ping program %1 failed: %2").arg(ping, error), method);
}

} // namespace

Icmp_Echo::System Icmp_Echo::Real_System() {
    System system;
    system.Open_Socket = [](int type) {
#ifdef SOCK_CLOEXEC
        const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
#else
        const int fd = ::socket(AF_INET, type, IPPROTO_ICMP);
        if (fd >= 0)
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
#endif
        return fd >= 0 ? fd : -errno;
    };
    system.Find_Ping = [] {
        const QString ping = QStandardPaths::findExecutable(QStringLiteral("ping"));
        if (!ping.isEmpty())
            return ping;
        return QStandardPaths::findExecutable(
            QStringLiteral("ping"), {QStringLiteral("/usr/bin"), QStringLiteral("/bin"),
                                     QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    };
    return system;
}

Echo_Report Icmp_Echo::Echo(const QString& address, const QByteArray& data, int timeout_ms) {
    const std::optional<quint32> target = Parse_IPv4_Address(address);
    if (!target)
        return Report(Echo_Report::Status::Bad_Address, Bad_Address_Reason(address), QString());
    const QByteArray payload = Echo_Data(data);

    const int datagram = system_.Open_Socket(SOCK_DGRAM);
    if (datagram >= 0)
        return Socket_Echo(datagram, false, *target, payload, timeout_ms);
    const int datagram_error = -datagram;
    if (!Not_Available(datagram_error))
        return Report(
            Echo_Report::Status::Failed,
            QStringLiteral("no ICMP socket can be opened: %1").arg(Error_Text(datagram_error)),
            QStringLiteral("datagram socket"));

    const int raw_socket = system_.Open_Socket(SOCK_RAW);
    if (raw_socket >= 0)
        return Socket_Echo(raw_socket, true, *target, payload, timeout_ms);
    const int raw_error = -raw_socket;
    if (!Not_Available(raw_error))
        return Report(Echo_Report::Status::Failed,
                      QStringLiteral("no ICMP socket can be opened: %1").arg(Error_Text(raw_error)),
                      QStringLiteral("raw socket"));

    const QString not_permitted =
        QStringLiteral("The system does not permit this user to send ICMP echo requests "
                       "(ICMP datagram socket: %1; raw socket: %2)")
            .arg(Error_Text(datagram_error), Error_Text(raw_error));
    const QString ping = system_.Find_Ping();
    if (!ping.isEmpty())
        return Ping_Program_Echo(ping, *target, timeout_ms, not_permitted);
    return Report(Echo_Report::Status::Failed,
                  not_permitted + QStringLiteral(" and no ping program is installed. Install "
                                                 "ping, or let this user's group send ICMP echo "
                                                 "requests (net.ipv4.ping_group_range)."),
                  QString());
}

#endif
