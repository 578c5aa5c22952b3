#pragma once
// A simulated machine HID stack (SimHidBus) with keyboards and receivers that speak
// the keyboard protocol, for tests and benchmarks. SimHidBus implements HidPlatform,
// so HidDeviceManager runs on it unchanged.
//
// What the devices do:
// - Every request is a report id 0 followed by the payload 0xAA, command, offset
//   (little-endian), length, three zero bytes, data. The answer echoes bytes 0-4,
//   has status 0x55 at byte 7 and data from byte 8; it is as long as the interface's
//   input report (32 or 64 bytes).
// - A keyboard has a memory block per command (DefineBlock / SetBlock). A read-only
//   block answers with its bytes at the request's offset; a writable block stores the
//   request's data there and echoes it. Built-in short commands: 0x10 and 0x11 (open
//   and close a command sequence), 0x30 (battery at byte 8, charge at byte 9), 0xD0
//   (status: a notification-style answer naming the keyboard).
// - A receiver answers the probe 0x10 with its keyboard's vendor and product id at
//   bytes 9-12 (while the keyboard is online), the status request 0xD0 with a
//   notification naming the keyboard (byte 13 = 4 online, 2 offline), and passes every
//   other request to its keyboard while it is online (no answer while offline).
// - Notifications (0xAA 0xD0) are queued on demand.
//
// The devices are strict: a request that is malformed, uses a command the device
// does not know, is longer than the interface's chunk, reaches past a block or
// does not match the next expectation is recorded as a violation; tests check
// Violations() and Verify(). Nothing sleeps unless real time is switched on: waits
// and time-outs only add to a simulated clock.
#include <hidapi.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "SimKeyboardModels.h"
#include "services/hid/HidPlatform.h"

namespace sim {

using Bytes = std::vector<uint8_t>;

// Ways a device misbehaves, applied to the requests that match a fault rule.
enum class Fault {
    NoAnswer,             // the request is lost: nothing comes back
    Refuse,               // answered with status 0x0F, nothing applied
    NoStatus,             // answered with status byte 0
    WrongEcho,            // answered with a wrong offset echo (low byte, byte 2)
    WrongOffsetHighEcho,  // answered with a wrong offset echo (high byte, byte 3)
    WrongCommandEcho,     // answered with another command byte (byte 1)
    NotifyFirst,          // an unsolicited notification arrives before the answer
    FailWrite,            // the write itself fails
    Unplug,  // the device disappears at this write: it fails, and so does everything after
};

// A parsed output report.
struct Request
{
    int interfaceIndex = -1;
    // Exactly the bytes passed to hid_write, report id first. The stack pads a
    // shorter report with zeros before the device sees it (Payload reads past the
    // end as 0), so tests check report.size() against the output report length.
    Bytes report;
    // When the bus accepted it: milliseconds of the performance counter.
    double atMs = 0;

    uint8_t Payload(int i) const { return size_t(i + 1) < report.size() ? report[i + 1] : 0; }
    uint8_t Command() const { return Payload(1); }
    int Offset() const { return Payload(2) | (Payload(3) << 8); }
    int Length() const { return Payload(4); }
    Bytes Data() const;  // payload bytes 8 .. 8 + Length() - 1
};

struct ReadRecord
{
    int interfaceIndex;
    int timeoutMs;
    int result;
};

class SimHidBus;

// Something behind a vendor interface that answers requests.
class SimDevice
{
public:
    virtual ~SimDevice();

    // Misbehave for the next `times` requests with this command (-1: any) and offset
    // (-1: any). Rules are tried in the order added.
    void AddFault(Fault kind, int command = -1, int offset = -1, int times = 1);
    // Strict sequence: once any expectation is queued, every request must match the
    // next one (command, and offset / length unless -1).
    void Expect(int command, int offset = -1, int length = -1);
    // Problems seen so far: violations plus expectations never met.
    std::vector<std::string> Verify() const;
    const std::vector<std::string>& Violations() const { return violations_; }
    // Requests this device received (through a receiver too).
    const std::vector<Request>& Received() const { return received_; }
    void ClearLog() { received_.clear(); }

protected:
    friend class SimHidBus;
    friend class SimReceiver;

    // The answer to a well-formed request, or false for none. `chunk` is the
    // interface's data bytes per report (24 or 56).
    virtual bool Respond(const Request& request, int chunk, Bytes& answer) = 0;
    // A notification (0xAA 0xD0) naming the keyboard.
    static Bytes Notification(uint16_t vendorId, uint16_t productId, bool online);

    void Violation(const std::string& text) { violations_.push_back(text); }
    // Takes the first rule matching the request (consuming one use); -1 when none.
    int TakeFault(const Request& request);
    // Checks expectations and the header; true when the request may be answered.
    bool Accept(const Request& request, int chunk);
    void QueueInput(const Bytes& report);

    // Takes this device off its bus (its interfaces unplugged, answering no
    // more), waiting for a report the bus is handing it: a keyboard object that
    // goes while the program still writes to it is a keyboard pulled out.
    // Every device that answers calls it first in its destructor.
    void LeaveBus();

    SimHidBus* bus_ = nullptr;
    int interface_ = -1;

private:
    struct Rule
    {
        Fault kind;
        int command, offset, times;
    };
    struct Expectation
    {
        int command, offset, length;
    };
    std::vector<Rule> faults_;
    std::deque<Expectation> expected_;
    bool strictSequence_ = false;
    std::vector<std::string> violations_;
    std::vector<Request> received_;
};

class SimKeyboard : public SimDevice
{
public:
    SimKeyboard(uint16_t vendorId, uint16_t productId);
    ~SimKeyboard() override { LeaveBus(); }
    // A keyboard of one of the models of config.xml, its memory filled (LoadModel).
    explicit SimKeyboard(const SimModel& model);

    uint16_t VendorId() const { return vendorId_; }
    const SimModel* ModelOf() const { return model_; }
    uint16_t ProductId() const { return productId_; }

    // A memory block answered by `command`: read-only blocks answer with their bytes,
    // writable ones store what is written.
    void DefineBlock(uint8_t command, size_t size, bool writable);
    void SetBlock(uint8_t command, const Bytes& content, bool writable = false);
    Bytes& Block(uint8_t command);
    bool HasBlock(uint8_t command) const { return blocks_.count(command) != 0; }
    // Requests with `alias` write into the block of `target` and answer with its bytes
    // (a write command whose data the read command `target` answers with).
    void AliasBlock(uint8_t alias, uint8_t target) { aliases_[alias] = target; }

    // The memory of a keyboard of `model`: capability block (0x12), settings block
    // (0x14, written by 0x15), default key tables (0x16-0x19), current key tables
    // (0x1A ... 0x20, written by 0x1B ... 0x21, the defaults at first), user-mode
    // colours (0x22 ... 0x2A, written by 0x23 ... 0x2B), macro memory (0x2D), effect
    // frame (0x2E), key-to-LED table (0x32), live colours (0x34, 0x36), the matrix
    // picture and frame (0x3A written by 0x3B, 0x3C) of a matrix model, the short
    // commands 0x2F, 0x31 and 0x3D, and its battery. A keyboard of a model takes
    // 0x31 as the factory reset: its memory is the model's again. A model with
    // an LCD screen takes animations (0x3E, 0x3F, 0x40; see LcdSlot).
    void LoadModel(const SimModel& model);

    // The LCD screen's animations. 0x3E (8 bytes: slot, frame count, width,
    // height, 16-bit values little-endian) starts one and drops the slot's old
    // one; 0x3F (8 bytes: frame index, delay) starts the next frame, which
    // must be the one after the last; 0x40 writes that frame's pixels (width x
    // height x 2 bytes RGB565) at the request's offset. Anything else, out of
    // order or past the frame, is a violation.
    struct LcdFrame
    {
        int delayMs = 0;
        Bytes pixels;
    };
    struct LcdAnimation
    {
        int width = 0, height = 0, frameCount = 0;
        std::vector<LcdFrame> frames;
        // Every frame announced and every pixel of each written.
        bool Complete() const;
    };
    // The animation of a slot (empty when none was sent).
    LcdAnimation LcdSlot(int slot) const;

    void SetBattery(int level, int charge)
    {
        battery_ = level;
        charge_ = charge;
    }
    // Queues a notification on the keyboard's own interface.
    void PushNotification(bool online);
    // Queues any input report on the keyboard's own interface (a stale report, say).
    void PushInput(const Bytes& report) { QueueInput(report); }

protected:
    bool Respond(const Request& request, int chunk, Bytes& answer) override;

private:
    struct MemoryBlock
    {
        Bytes bytes;
        bool writable;
    };
    uint16_t vendorId_, productId_;
    const SimModel* model_ = nullptr;
    std::map<uint8_t, MemoryBlock> blocks_;
    std::map<uint8_t, uint8_t> aliases_;
    int battery_ = 87;
    int charge_ = 0;
    bool RespondLcd(const Request& request, Bytes& answer);
    std::map<int, LcdAnimation> lcdSlots_;
    int lcdSlot_ = -1;                // the slot being written, -1 none
    std::vector<size_t> lcdWritten_;  // bytes written of each frame of that slot
};

class SimReceiver : public SimDevice
{
public:
    explicit SimReceiver(SimKeyboard& keyboard) : keyboard_(keyboard) {}
    ~SimReceiver() override { LeaveBus(); }

    SimKeyboard& Keyboard() { return keyboard_; }
    bool KeyboardOnline() const { return online_; }
    // The keyboard goes on or off line; with `notify` the receiver reports it.
    void SetKeyboardOnline(bool online, bool notify = true);
    // Whether the status answer and notifications name the keyboard's product id
    // (otherwise 0), and whether the 0x10 probe answers with the ids.
    void SetNamesKeyboard(bool names) { namesKeyboard_ = names; }
    void SetAnswersProbe(bool answers) { answersProbe_ = answers; }
    // Queues a notification with the current link state.
    void PushNotification();
    void PushNotification(bool online, bool namesKeyboard);
    void PushInput(const Bytes& report) { QueueInput(report); }

protected:
    bool Respond(const Request& request, int chunk, Bytes& answer) override;

private:
    SimKeyboard& keyboard_;
    bool online_ = true;
    bool namesKeyboard_ = true;
    bool answersProbe_ = true;
};

// One HID interface of a simulated device.
struct SimInterface
{
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::wstring productString;
    uint16_t usagePage = 0xFF60;
    uint16_t usage = 0x61;
    int inputLength = 65;  // including the report id
    int outputLength = 65;
    SimDevice* device = nullptr;  // null: an interface nobody answers on
    bool openFails = false;
};

class SimHidBus : public HidPlatform
{
public:
    SimHidBus();
    ~SimHidBus() override;

    // Adds one interface; returns its index. Its path is "sim#<index>".
    int AddInterface(const SimInterface& config);
    // A keyboard with its vendor interface of `reportBytes` (32 or 64), plus, with
    // `otherInterfaces`, a boot keyboard and a consumer-control interface on the same
    // device. Returns the vendor interface's index.
    int AddKeyboard(SimKeyboard& keyboard, int reportBytes = 64, const wchar_t* productString = L"",
                    bool otherInterfaces = true);
    // The vendor interface of a keyboard made with a model (its ids, product string and
    // report size), with the boot keyboard and consumer interfaces beside it.
    int AddModel(SimKeyboard& keyboard);
    // The receiver of that keyboard's model (which must have one).
    int AddModelReceiver(SimReceiver& receiver);
    // A receiver with its own ids and a vendor interface of `reportBytes`.
    int AddReceiver(SimReceiver& receiver, uint16_t vendorId, uint16_t productId,
                    int reportBytes = 64, const wchar_t* productString = L"");
    SimInterface& Interface(int index) { return interfaces_[size_t(index)].config; }
    std::string PathOf(int index) const { return "sim#" + std::to_string(index); }

    // The device leaves (writes and reads fail; enumeration no longer lists it) or
    // comes back.
    void Unplug(int index);
    void Plug(int index);
    // The device's interfaces answer no more and are unplugged (it is going).
    void Forget(SimDevice* device);
    void QueueInput(int index, const Bytes& report);
    size_t PendingInput(int index) const;

    // Sleep and time-outs really wait (for benchmarks); off by default.
    void SetRealTime(bool on) { realTime_ = on; }
    // Every report written takes this long to go out (a keyboard paced at one
    // report per millisecond: 1); 0 by default.
    void SetReportPace(int milliseconds) { reportPaceMs_ = milliseconds; }
    // Runs the change under the bus's lock, as a device changes between two
    // reports: a test thread adds faults to a device or takes a receiver's
    // keyboard off line while the worker talks to it.
    void Change(const std::function<void()>& change)
    {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        change();
    }
    // Runs on the enumerating thread at the start of every enumeration (a scan
    // that takes a while, or a moment to act in while a scan is under way);
    // empty: none.
    void SetEnumerateHook(std::function<void()> hook)
    {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        enumerateHook_ = std::move(hook);
    }

    // ---- what happened ----
    const std::vector<Request>& Writes() const { return writes_; }  // accepted writes
    std::vector<Request> WritesTo(int index) const;
    int FailedWrites() const { return failedWrites_; }
    const std::vector<ReadRecord>& Reads() const { return reads_; }
    const std::vector<int>& Sleeps() const { return sleeps_; }
    long long SimulatedMs() const { return simulatedMs_; }
    int OpenCount(int index) const;  // times hid_open_path succeeded on it
    int OpenHandles() const;         // handles not yet closed
    int CloseCount() const { return closes_; }
    int InitCount() const { return inits_; }
    int ExitCount() const { return exits_; }
    void ClearLog();
    // ClearLog, and the requests every device on the bus received, at once
    // (while another thread may be writing).
    void ClearAllLogs();

    // ---- HidPlatform ----
    int Init() override;
    int Exit() override;
    std::vector<HidInterfaceInfo> Enumerate(unsigned short vendorId,
                                            unsigned short productId) override;
    hid_device* OpenPath(const char* path) override;
    int Write(hid_device* device, const unsigned char* data, size_t length) override;
    int ReadTimeout(hid_device* device, unsigned char* data, size_t length,
                    int milliseconds) override;
    void Close(hid_device* device) override;
    bool GetReportLengths(const char* path, int* inputLength, int* outputLength) override;
    void Sleep(int milliseconds) override;

private:
    struct Port
    {
        SimInterface config;
        bool plugged = true;
        std::deque<Bytes> input;
    };
    struct Handle
    {
        int index;
        bool closed;
    };
    int IndexOfPath(const char* path) const;
    Handle* Find(hid_device* device);
    void Wait(int milliseconds);

    mutable std::recursive_mutex lock_;
    std::function<void()> enumerateHook_;
    std::vector<Port> interfaces_;
    std::vector<std::unique_ptr<Handle>> handles_;
    std::vector<Request> writes_;
    std::vector<ReadRecord> reads_;
    std::vector<int> sleeps_;
    long long simulatedMs_ = 0;
    int failedWrites_ = 0;
    int closes_ = 0, inits_ = 0, exits_ = 0;
    bool realTime_ = false;
    int reportPaceMs_ = 0;
};

// Builds a 64-byte command payload: 0xAA, command, offset, length, then data.
Bytes Payload(uint8_t command, int offset = 0, int length = 0, const Bytes& data = {});

}  // namespace sim
