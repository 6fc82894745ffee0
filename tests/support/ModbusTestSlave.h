#pragma once

#include <QList>
#include <QString>

#include <modbus/modbus.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A Modbus slave on libmodbus in a thread of the test: TCP on 127.0.0.1 at a
// port the system picks, or RTU on a pseudo-terminal whose other side the
// master opens. It holds 65536 holding registers and answers functions 3, 6
// and 16 from them, unless its handler decides otherwise for a request.
class TModbusTestSlave {
public:
    struct TRequest {
        int slave = 0;
        int function = 0;
        int address = 0;  // protocol address, 0-based
        int count = 0;    // registers; 1 for function 6
        QList<quint16> values;  // written values (functions 6 and 16)
    };
    // Answers that a handler can give instead of the registers.
    static constexpr int AnswerNormally = 0;
    static constexpr int StaySilent = -1;
    // Returns AnswerNormally, StaySilent or an exception code to reply with.
    using THandler = std::function<int(const TRequest &)>;

    explicit TModbusTestSlave(int slaveId = 1);
    ~TModbusTestSlave();
    TModbusTestSlave(const TModbusTestSlave &) = delete;
    TModbusTestSlave &operator=(const TModbusTestSlave &) = delete;

    bool StartTcp();
    bool StartRtu();
    void Stop();

    quint16 Port() const { return port_; }
    // The pseudo-terminal the master opens (RTU).
    const QString &Device() const { return device_; }

    // Called on the slave's thread, without the slave's lock held.
    void SetHandler(THandler handler);
    quint16 Register(int address) const;
    void SetRegister(int address, quint16 value);
    // Every request received, in order (also those refused or ignored).
    QList<TRequest> Requests() const;
    void ClearRequests();
    // Closes the master's TCP connection from the slave's side.
    void DropConnection();

private:
    void Serve();
    void ServeOne(const unsigned char *query, int length);
    TRequest ParseRequest(const unsigned char *query) const;
    bool AcceptOrReceive(int readyFd);

    int slaveId_;
    bool tcp_ = false;
    modbus_t *ctx_ = nullptr;
    modbus_mapping_t *mapping_ = nullptr;
    int listenFd_ = -1;
    std::atomic<int> clientFd_{-1};
    int ptyMaster_ = -1;
    int ptySlave_ = -1;
    int wakePipe_[2] = {-1, -1};
    quint16 port_ = 0;
    QString device_;
    THandler handler_;
    QList<TRequest> requests_;
    mutable std::mutex mutex_;
    std::thread thread_;
};
