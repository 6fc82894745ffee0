#include "support/ModbusTestSlave.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int RegisterCount = 0x10000;

int Word(const unsigned char *p)
{
    return (p[0] << 8) | p[1];
}

void CloseFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

TModbusTestSlave::TModbusTestSlave(int slaveId) : slaveId_(slaveId)
{
    mapping_ = modbus_mapping_new(0, 0, RegisterCount, 0);
}

TModbusTestSlave::~TModbusTestSlave()
{
    Stop();
    modbus_mapping_free(mapping_);
}

bool TModbusTestSlave::StartTcp()
{
    tcp_ = true;
    ctx_ = modbus_new_tcp("127.0.0.1", 0);
    if (ctx_ == nullptr || pipe(wakePipe_) != 0)
        return false;
    listenFd_ = modbus_tcp_listen(ctx_, 1);
    if (listenFd_ < 0)
        return false;
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (getsockname(listenFd_, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        return false;
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

bool TModbusTestSlave::StartRtu()
{
    tcp_ = false;
    if (openpty(&ptyMaster_, &ptySlave_, nullptr, nullptr, nullptr) != 0 || pipe(wakePipe_) != 0)
        return false;
    // The slave side stays open here, so the master side never sees the end
    // of the line when the master under test closes it.
    termios tio{};
    tcgetattr(ptySlave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(ptySlave_, TCSANOW, &tio);
    device_ = QString::fromLocal8Bit(ttyname(ptySlave_));
    ctx_ = modbus_new_rtu(ttyname(ptySlave_), 9600, 'N', 8, 1);
    if (ctx_ == nullptr)
        return false;
    modbus_set_slave(ctx_, slaveId_);
    modbus_set_socket(ctx_, ptyMaster_);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void TModbusTestSlave::Stop()
{
    if (thread_.joinable()) {
        const char stop = 'q';
        (void)::write(wakePipe_[1], &stop, 1);
        thread_.join();
    }
    if (ctx_ != nullptr) {
        modbus_set_socket(ctx_, -1);
        modbus_free(ctx_);
        ctx_ = nullptr;
    }
    int client = clientFd_.exchange(-1);
    CloseFd(client);
    CloseFd(listenFd_);
    CloseFd(ptyMaster_);
    CloseFd(ptySlave_);
    CloseFd(wakePipe_[0]);
    CloseFd(wakePipe_[1]);
}

void TModbusTestSlave::SetHandler(THandler handler)
{
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

quint16 TModbusTestSlave::Register(int address) const
{
    std::lock_guard lock(mutex_);
    return mapping_->tab_registers[address];
}

void TModbusTestSlave::SetRegister(int address, quint16 value)
{
    std::lock_guard lock(mutex_);
    mapping_->tab_registers[address] = value;
}

QList<TModbusTestSlave::TRequest> TModbusTestSlave::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void TModbusTestSlave::ClearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

void TModbusTestSlave::DropConnection()
{
    const int fd = clientFd_.load();
    if (fd >= 0)
        shutdown(fd, SHUT_RDWR);
}

void TModbusTestSlave::Serve()
{
    for (;;) {
        const int lineFd = tcp_ ? clientFd_.load() : ptyMaster_;
        pollfd fds[2] = {{wakePipe_[0], POLLIN, 0}, {lineFd >= 0 ? lineFd : listenFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents != 0 && !AcceptOrReceive(fds[1].fd))
            return;
    }
}

bool TModbusTestSlave::AcceptOrReceive(int readyFd)
{
    if (tcp_ && readyFd == listenFd_) {
        clientFd_ = modbus_tcp_accept(ctx_, &listenFd_);
        return true;
    }
    unsigned char query[MODBUS_TCP_MAX_ADU_LENGTH];
    const int length = modbus_receive(ctx_, query);
    if (length > 0) {
        ServeOne(query, length);
    } else if (length < 0 && tcp_) {
        // The master went away: wait for the next one.
        int client = clientFd_.exchange(-1);
        modbus_set_socket(ctx_, -1);
        CloseFd(client);
    }
    return true;
}

TModbusTestSlave::TRequest TModbusTestSlave::ParseRequest(const unsigned char *query) const
{
    const int header = modbus_get_header_length(ctx_);
    TRequest r;
    r.slave = query[header - 1];
    r.function = query[header];
    r.address = Word(query + header + 1);
    if (r.function == MODBUS_FC_WRITE_SINGLE_REGISTER) {
        r.count = 1;
        r.values.append(static_cast<quint16>(Word(query + header + 3)));
    } else {
        r.count = Word(query + header + 3);
    }
    if (r.function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS) {
        for (int i = 0; i < r.count; ++i)
            r.values.append(static_cast<quint16>(Word(query + header + 6 + 2 * i)));
    }
    return r;
}

void TModbusTestSlave::ServeOne(const unsigned char *query, int length)
{
    const TRequest request = ParseRequest(query);
    THandler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.append(request);
        handler = handler_;
    }
    if (tcp_ && request.slave != slaveId_)
        return;  // nobody home at that unit
    const int answer = handler ? handler(request) : AnswerNormally;
    if (answer == StaySilent)
        return;
    std::lock_guard lock(mutex_);
    if (answer > 0)
        modbus_reply_exception(ctx_, query, static_cast<unsigned>(answer));
    else
        modbus_reply(ctx_, query, length, mapping_);
}
