#include "SimKeyboard.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

std::string Describe(const Request& r)
{
    char text[96];
    snprintf(text, sizeof text, "request %02X %02X offset %d length %d on interface %d",
             r.Payload(0), r.Command(), r.Offset(), r.Length(), r.interfaceIndex);
    return text;
}

// The answer's header echoes the request's first five payload bytes, status 0x55.
Bytes AckFor(const Request& request)
{
    Bytes answer(64, 0);
    for (int i = 0; i < 5; ++i) answer[size_t(i)] = request.Payload(i);
    answer[7] = 0x55;
    return answer;
}

}  // namespace

Bytes Request::Data() const
{
    Bytes data;
    for (int i = 0; i < Length(); ++i) data.push_back(Payload(8 + i));
    return data;
}

Bytes Payload(uint8_t command, int offset, int length, const Bytes& data)
{
    Bytes payload(64, 0);
    payload[0] = 0xAA;
    payload[1] = command;
    payload[2] = uint8_t(offset & 0xFF);
    payload[3] = uint8_t(offset >> 8);
    payload[4] = uint8_t(length);
    for (size_t i = 0; i < data.size() && i + 8 < payload.size(); ++i) payload[i + 8] = data[i];
    return payload;
}

// ---- SimDevice ------------------------------------------------------------------------

SimDevice::~SimDevice()
{
    LeaveBus();
}

void SimDevice::LeaveBus()
{
    if (SimHidBus* bus = bus_) bus->Forget(this);
    bus_ = nullptr;
}

void SimDevice::AddFault(Fault kind, int command, int offset, int times)
{
    faults_.push_back({kind, command, offset, times});
}

void SimDevice::Expect(int command, int offset, int length)
{
    strictSequence_ = true;
    expected_.push_back({command, offset, length});
}

std::vector<std::string> SimDevice::Verify() const
{
    std::vector<std::string> problems = violations_;
    for (const Expectation& e : expected_) {
        char text[80];
        snprintf(text, sizeof text, "missing request %02X offset %d length %d", e.command, e.offset,
                 e.length);
        problems.push_back(text);
    }
    return problems;
}

int SimDevice::TakeFault(const Request& request)
{
    for (Rule& rule : faults_) {
        if (rule.times <= 0) continue;
        if (rule.command >= 0 && rule.command != request.Command()) continue;
        if (rule.offset >= 0 && rule.offset != request.Offset()) continue;
        --rule.times;
        return int(rule.kind);
    }
    return -1;
}

bool SimDevice::Accept(const Request& request, int chunk)
{
    received_.push_back(request);
    if (request.report.empty() || request.report[0] != 0) {
        Violation("report id is not 0: " + Describe(request));
        return false;
    }
    if (request.Payload(0) != 0xAA) {
        Violation("payload does not start with 0xAA: " + Describe(request));
        return false;
    }
    if (request.Payload(5) || request.Payload(6) || request.Payload(7)) {
        Violation("bytes 5-7 are not zero: " + Describe(request));
        return false;
    }
    if (request.Length() > chunk) {
        Violation("length above the chunk size: " + Describe(request));
        return false;
    }
    if (strictSequence_) {
        if (expected_.empty()) {
            Violation("unexpected " + Describe(request));
            return false;
        }
        Expectation e = expected_.front();
        expected_.pop_front();
        if (e.command != request.Command() || (e.offset >= 0 && e.offset != request.Offset()) ||
            (e.length >= 0 && e.length != request.Length())) {
            char text[64];
            snprintf(text, sizeof text, " (expected %02X offset %d length %d)", e.command, e.offset,
                     e.length);
            Violation("wrong " + Describe(request) + text);
            return false;
        }
    }
    return true;
}

Bytes SimDevice::Notification(uint16_t vendorId, uint16_t productId, bool online)
{
    Bytes report(64, 0);
    report[0] = 0xAA;
    report[1] = 0xD0;
    report[8] = 0x01;
    report[9] = uint8_t(vendorId & 0xFF);
    report[10] = uint8_t(vendorId >> 8);
    report[11] = uint8_t(productId & 0xFF);
    report[12] = uint8_t(productId >> 8);
    report[13] = online ? 4 : 2;
    return report;
}

void SimDevice::QueueInput(const Bytes& report)
{
    if (bus_) bus_->QueueInput(interface_, report);
}

// ---- SimKeyboard ----------------------------------------------------------------------

SimKeyboard::SimKeyboard(uint16_t vendorId, uint16_t productId)
    : vendorId_(vendorId),
      productId_(productId)
{}

SimKeyboard::SimKeyboard(const SimModel& model) : SimKeyboard(model.vendorId, model.productId)
{
    LoadModel(model);
}

void SimKeyboard::LoadModel(const SimModel& model)
{
    model_ = &model;
    blocks_.clear();
    aliases_.clear();
    SetBlock(0x12, CapabilityBlock(model));
    SetBlock(0x14, SettingsBlock(model));
    AliasBlock(0x15, 0x14);
    const Bytes defaults = DefaultKeyTable(model);
    for (uint8_t layer = 0; layer < 4; ++layer) {
        SetBlock(uint8_t(0x16 + layer), defaults);
        const uint8_t current = uint8_t(0x1A + 2 * layer);
        SetBlock(current, defaults);
        AliasBlock(uint8_t(current + 1), current);
    }
    for (uint8_t mode = 0; mode < 5; ++mode) {
        const uint8_t read = uint8_t(0x22 + 2 * mode);
        DefineBlock(read, 384, false);
        AliasBlock(uint8_t(read + 1), read);
    }
    DefineBlock(0x2D, size_t(model.macroUnits) * 256, true);
    DefineBlock(0x2E, 800, true);
    for (uint8_t shortCommand : {0x2F, 0x31, 0x3D}) DefineBlock(shortCommand, 56, true);
    SetBlock(0x32, LedTable(model));
    DefineBlock(0x34, 384, false);
    DefineBlock(0x36, 384, false);
    if (model.matrix) {
        DefineBlock(0x3A, 147, false);
        AliasBlock(0x3B, 0x3A);
        DefineBlock(0x3C, 98, true);
    }
    SetBattery(model.battery ? 87 : 0, 0);
}

void SimKeyboard::DefineBlock(uint8_t command, size_t size, bool writable)
{
    blocks_[command] = {Bytes(size, 0), writable};
}

void SimKeyboard::SetBlock(uint8_t command, const Bytes& content, bool writable)
{
    blocks_[command] = {content, writable};
}

Bytes& SimKeyboard::Block(uint8_t command)
{
    return blocks_[command].bytes;
}

void SimKeyboard::PushNotification(bool online)
{
    QueueInput(Notification(vendorId_, productId_, online));
}

bool SimKeyboard::LcdAnimation::Complete() const
{
    if (int(frames.size()) != frameCount) return false;
    for (const LcdFrame& frame : frames)
        if (frame.pixels.size() != size_t(width) * height * 2) return false;
    return true;
}

SimKeyboard::LcdAnimation SimKeyboard::LcdSlot(int slot) const
{
    auto found = lcdSlots_.find(slot);
    return found == lcdSlots_.end() ? LcdAnimation() : found->second;
}

bool SimKeyboard::RespondLcd(const Request& request, Bytes& answer)
{
    const Bytes data = request.Data();
    auto word = [&](size_t at) {
        return at + 1 < data.size() ? data[at] | (data[at + 1] << 8) : 0;
    };
    const uint8_t command = request.Command();
    if (command == 0x3E || command == 0x3F) {
        if (request.Offset() != 0 || request.Length() != 8) {
            Violation("LCD header not 8 bytes at 0: " + Describe(request));
            return false;
        }
    }
    if (command == 0x3E) {
        LcdAnimation animation;
        animation.frameCount = word(1);
        animation.width = word(3);
        animation.height = word(5);
        lcdSlot_ = data[0];
        lcdSlots_[lcdSlot_] = animation;
        lcdWritten_.clear();
    } else if (command == 0x3F) {
        auto slot = lcdSlots_.find(lcdSlot_);
        if (slot == lcdSlots_.end() || word(0) != int(slot->second.frames.size()) ||
            word(0) >= slot->second.frameCount ||
            (!lcdWritten_.empty() &&
             lcdWritten_.back() != slot->second.frames.back().pixels.size())) {
            Violation("LCD frame out of order: " + Describe(request));
            return false;
        }
        LcdFrame frame;
        frame.delayMs = word(2);
        frame.pixels.assign(size_t(slot->second.width) * slot->second.height * 2, 0);
        slot->second.frames.push_back(frame);
        lcdWritten_.push_back(0);
    } else {
        auto slot = lcdSlots_.find(lcdSlot_);
        if (slot == lcdSlots_.end() || slot->second.frames.empty()) {
            Violation("LCD pixels without a frame: " + Describe(request));
            return false;
        }
        Bytes& pixels = slot->second.frames.back().pixels;
        const size_t offset = size_t(request.Offset());
        if (offset != lcdWritten_.back() || offset + data.size() > pixels.size()) {
            Violation("LCD pixels out of place: " + Describe(request));
            return false;
        }
        std::copy(data.begin(), data.end(), pixels.begin() + std::ptrdiff_t(offset));
        lcdWritten_.back() += data.size();
    }
    for (size_t i = 0; i < data.size(); ++i) answer[8 + i] = data[i];
    return true;
}

bool SimKeyboard::Respond(const Request& request, int, Bytes& answer)
{
    const uint8_t command = request.Command();
    answer = AckFor(request);
    if (model_ && model_->lcd && command >= 0x3E && command <= 0x40)
        return RespondLcd(request, answer);
    if (command == 0x31 && model_ && request.Offset() + request.Length() <= 56) {
        // The factory reset: the memory the model left the factory with.
        const int battery = battery_, charge = charge_;
        LoadModel(*model_);
        SetBattery(battery, charge);
        return true;
    }
    auto alias = aliases_.find(command);
    if (alias != aliases_.end()) {
        auto target = blocks_.find(alias->second);
        if (target == blocks_.end()) {
            Violation("alias of a missing block: " + Describe(request));
            return false;
        }
        Bytes& memory = target->second.bytes;
        const size_t offset = size_t(request.Offset());
        const size_t length = size_t(request.Length());
        if (offset + length > memory.size()) {
            Violation("past the end of the block: " + Describe(request));
            return false;
        }
        for (size_t i = 0; i < length; ++i) {
            memory[offset + i] = request.Payload(int(8 + i));
            answer[8 + i] = memory[offset + i];
        }
        return true;
    }
    auto block = blocks_.find(command);
    if (block != blocks_.end()) {
        MemoryBlock& memory = block->second;
        const size_t offset = size_t(request.Offset());
        const size_t length = size_t(request.Length());
        if (offset + length > memory.bytes.size()) {
            Violation("past the end of the block: " + Describe(request));
            return false;
        }
        if (memory.writable)
            for (size_t i = 0; i < length; ++i)
                memory.bytes[offset + i] = request.Payload(int(8 + i));
        for (size_t i = 0; i < length; ++i) answer[8 + i] = memory.bytes[offset + i];
        return true;
    }
    switch (command) {
        case 0x10:
        case 0x11: return true;
        case 0x30:
            answer[8] = uint8_t(battery_);
            answer[9] = uint8_t(charge_);
            return true;
        case 0xD0: answer = Notification(vendorId_, productId_, true); return true;
        default: Violation("unknown command: " + Describe(request)); return false;
    }
}

// ---- SimReceiver ----------------------------------------------------------------------

void SimReceiver::SetKeyboardOnline(bool online, bool notify)
{
    online_ = online;
    if (notify) PushNotification();
}

void SimReceiver::PushNotification()
{
    PushNotification(online_, namesKeyboard_);
}

void SimReceiver::PushNotification(bool online, bool namesKeyboard)
{
    QueueInput(
        Notification(keyboard_.VendorId(), namesKeyboard ? keyboard_.ProductId() : 0, online));
}

bool SimReceiver::Respond(const Request& request, int chunk, Bytes& answer)
{
    switch (request.Command()) {
        case 0x10:
            answer = AckFor(request);
            if (online_ && answersProbe_) {
                answer[9] = uint8_t(keyboard_.VendorId() & 0xFF);
                answer[10] = uint8_t(keyboard_.VendorId() >> 8);
                answer[11] = uint8_t(keyboard_.ProductId() & 0xFF);
                answer[12] = uint8_t(keyboard_.ProductId() >> 8);
            }
            return true;
        case 0xD0:
            answer = Notification(keyboard_.VendorId(), namesKeyboard_ ? keyboard_.ProductId() : 0,
                                  online_);
            return true;
        default:
            if (!online_) return false;
            // The keyboard behind the receiver answers. (Faults are those of the receiver,
            // the device on the interface.)
            if (!keyboard_.Accept(request, chunk)) return false;
            return static_cast<SimDevice&>(keyboard_).Respond(request, chunk, answer);
    }
}

// ---- SimHidBus ------------------------------------------------------------------------

SimHidBus::SimHidBus() = default;
SimHidBus::~SimHidBus()
{
    // Devices that outlive the bus must not reach back into it.
    for (Port& port : interfaces_)
        if (port.config.device && port.config.device->bus_ == this)
            port.config.device->bus_ = nullptr;
}

void SimHidBus::Forget(SimDevice* device)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    for (Port& port : interfaces_) {
        if (port.config.device != device) continue;
        port.config.device = nullptr;
        port.plugged = false;
        port.input.clear();
    }
}

int SimHidBus::AddInterface(const SimInterface& config)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    Port port;
    port.config = config;
    interfaces_.push_back(port);
    const int index = int(interfaces_.size()) - 1;
    if (config.device) {
        config.device->bus_ = this;
        config.device->interface_ = index;
    }
    return index;
}

int SimHidBus::AddKeyboard(SimKeyboard& keyboard, int reportBytes, const wchar_t* productString,
                           bool otherInterfaces)
{
    SimInterface config;
    config.vendorId = keyboard.VendorId();
    config.productId = keyboard.ProductId();
    config.productString = productString ? productString : L"";
    if (otherInterfaces) {
        SimInterface boot = config;  // the boot keyboard
        boot.usagePage = 0x01;
        boot.usage = 0x06;
        boot.inputLength = 9;
        boot.outputLength = 2;
        AddInterface(boot);
    }
    config.inputLength = config.outputLength = reportBytes + 1;
    config.device = &keyboard;
    const int vendor = AddInterface(config);
    if (otherInterfaces) {
        SimInterface consumer = config;  // media keys
        consumer.device = nullptr;
        consumer.usagePage = 0x0C;
        consumer.usage = 0x01;
        consumer.inputLength = 3;
        consumer.outputLength = 0;
        AddInterface(consumer);
    }
    return vendor;
}

int SimHidBus::AddReceiver(SimReceiver& receiver, uint16_t vendorId, uint16_t productId,
                           int reportBytes, const wchar_t* productString)
{
    SimInterface config;
    config.vendorId = vendorId;
    config.productId = productId;
    config.productString = productString ? productString : L"";
    config.inputLength = config.outputLength = reportBytes + 1;
    config.device = &receiver;
    return AddInterface(config);
}

int SimHidBus::AddModel(SimKeyboard& keyboard)
{
    const SimModel* model = keyboard.ModelOf();
    if (!model) return AddKeyboard(keyboard);
    return AddKeyboard(keyboard, model->reportBytes, model->productString);
}

int SimHidBus::AddModelReceiver(SimReceiver& receiver)
{
    const SimModel* model = receiver.Keyboard().ModelOf();
    if (!model || !model->HasReceiver()) return -1;
    return AddReceiver(receiver, model->receiverVendorId, model->receiverProductId,
                       model->reportBytes, model->receiverProductString);
}

void SimHidBus::Unplug(int index)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    interfaces_[size_t(index)].plugged = false;
    interfaces_[size_t(index)].input.clear();
}

void SimHidBus::Plug(int index)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    interfaces_[size_t(index)].plugged = true;
}

void SimHidBus::QueueInput(int index, const Bytes& report)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    Port& port = interfaces_[size_t(index)];
    if (!port.plugged) return;
    Bytes sized(size_t(std::max(port.config.inputLength - 1, 0)), 0);
    std::copy_n(report.begin(), std::min(report.size(), sized.size()), sized.begin());
    port.input.push_back(sized);
}

size_t SimHidBus::PendingInput(int index) const
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return interfaces_[size_t(index)].input.size();
}

std::vector<Request> SimHidBus::WritesTo(int index) const
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    std::vector<Request> result;
    for (const Request& r : writes_)
        if (r.interfaceIndex == index) result.push_back(r);
    return result;
}

int SimHidBus::OpenCount(int index) const
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    int count = 0;
    for (const auto& h : handles_)
        if (h->index == index) ++count;
    return count;
}

int SimHidBus::OpenHandles() const
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    int count = 0;
    for (const auto& h : handles_)
        if (!h->closed) ++count;
    return count;
}

void SimHidBus::ClearLog()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    writes_.clear();
    reads_.clear();
    sleeps_.clear();
    simulatedMs_ = 0;
    failedWrites_ = 0;
}

void SimHidBus::ClearAllLogs()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    ClearLog();
    for (Port& port : interfaces_)
        if (port.config.device) port.config.device->ClearLog();
}

int SimHidBus::Init()
{
    ++inits_;
    return 0;
}

int SimHidBus::Exit()
{
    ++exits_;
    return 0;
}

std::vector<HidInterfaceInfo> SimHidBus::Enumerate(unsigned short vendorId,
                                                   unsigned short productId)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        hook = enumerateHook_;
    }
    if (hook) hook();  // outside the bus's lock: it may wait for other threads
    std::lock_guard<std::recursive_mutex> guard(lock_);
    std::vector<HidInterfaceInfo> list;
    for (size_t i = 0; i < interfaces_.size(); ++i) {
        const Port& port = interfaces_[i];
        if (!port.plugged || (vendorId && vendorId != port.config.vendorId) ||
            (productId && productId != port.config.productId))
            continue;
        HidInterfaceInfo info;
        info.path = PathOf(int(i));
        info.vendorId = port.config.vendorId;
        info.productId = port.config.productId;
        info.productString = port.config.productString;
        info.usagePage = port.config.usagePage;
        info.usage = port.config.usage;
        info.interfaceNumber = int(i);
        list.push_back(info);
    }
    return list;
}

int SimHidBus::IndexOfPath(const char* path) const
{
    for (size_t i = 0; i < interfaces_.size(); ++i)
        if (path && PathOf(int(i)) == path) return int(i);
    return -1;
}

hid_device* SimHidBus::OpenPath(const char* path)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    const int index = IndexOfPath(path);
    if (index < 0 || !interfaces_[size_t(index)].plugged ||
        interfaces_[size_t(index)].config.openFails)
        return nullptr;
    handles_.push_back(std::unique_ptr<Handle>(new Handle{index, false}));
    return reinterpret_cast<hid_device*>(handles_.back().get());
}

SimHidBus::Handle* SimHidBus::Find(hid_device* device)
{
    for (const auto& h : handles_)
        if (reinterpret_cast<hid_device*>(h.get()) == device) return h.get();
    return nullptr;
}

int SimHidBus::Write(hid_device* device, const unsigned char* data, size_t length)
{
    Wait(reportPaceMs_);
    std::lock_guard<std::recursive_mutex> guard(lock_);
    Handle* handle = Find(device);
    if (!handle || handle->closed || !data || length == 0) return -1;
    Port& port = interfaces_[size_t(handle->index)];
    // As hidapi on Windows: a shorter report is padded to the output report length, a
    // longer one is refused by the HID stack.
    if (!port.plugged || length > size_t(port.config.outputLength)) {
        ++failedWrites_;
        return -1;
    }
    Request request;
    request.interfaceIndex = handle->index;
    request.report.assign(data, data + length);
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        request.atMs = double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
    }

    SimDevice* dev = port.config.device;
    int fault = -1;
    if (dev) {
        fault = dev->TakeFault(request);
        if (fault == int(Fault::FailWrite) || fault == int(Fault::Unplug)) {
            ++failedWrites_;
            if (fault == int(Fault::Unplug)) Unplug(handle->index);
            return -1;
        }
    }
    writes_.push_back(request);
    if (!dev) return int(length);

    const int chunk = port.config.outputLength - 1 < 64 ? 24 : 56;
    Bytes answer;
    if (!dev->Accept(request, chunk)) return int(port.config.outputLength);
    if (fault == int(Fault::NoAnswer) || fault == int(Fault::Refuse)) {
        if (fault == int(Fault::Refuse)) {
            answer = AckFor(request);
            answer[7] = 0x0F;
            QueueInput(handle->index, answer);
        }
        return int(port.config.outputLength);
    }
    if (!dev->Respond(request, chunk, answer)) return int(port.config.outputLength);
    if (fault == int(Fault::NoStatus)) answer[7] = 0;
    if (fault == int(Fault::WrongEcho)) answer[2] = uint8_t(answer[2] + 1);
    if (fault == int(Fault::WrongOffsetHighEcho)) answer[3] = uint8_t(answer[3] + 1);
    if (fault == int(Fault::WrongCommandEcho)) answer[1] = uint8_t(answer[1] ^ 0x01);
    if (fault == int(Fault::NotifyFirst))
        QueueInput(handle->index, SimDevice::Notification(port.config.vendorId, 0, true));
    QueueInput(handle->index, answer);
    return int(port.config.outputLength);
}

void SimHidBus::Wait(int milliseconds)
{
    if (milliseconds <= 0) return;
    simulatedMs_ += milliseconds;
    if (realTime_) ::Sleep(DWORD(milliseconds));
}

int SimHidBus::ReadTimeout(hid_device* device, unsigned char* data, size_t length, int milliseconds)
{
    int index = -1;
    {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        Handle* handle = Find(device);
        if (!handle || handle->closed || !data) {
            reads_.push_back({-1, milliseconds, -1});
            return -1;
        }
        index = handle->index;
        Port& port = interfaces_[size_t(index)];
        if (!port.plugged) {
            reads_.push_back({index, milliseconds, -1});
            return -1;
        }
        if (!port.input.empty()) {
            Bytes report = port.input.front();
            port.input.pop_front();
            const size_t n = std::min(length, report.size());
            std::copy_n(report.begin(), n, data);
            reads_.push_back({index, milliseconds, int(n)});
            return int(n);
        }
        reads_.push_back({index, milliseconds, 0});
    }
    Wait(milliseconds);
    return 0;
}

void SimHidBus::Close(hid_device* device)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    Handle* handle = Find(device);
    if (handle && !handle->closed) {
        handle->closed = true;
        ++closes_;
    }
}

bool SimHidBus::GetReportLengths(const char* path, int* inputLength, int* outputLength)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    const int index = IndexOfPath(path);
    if (index < 0) return false;
    *inputLength = interfaces_[size_t(index)].config.inputLength;
    *outputLength = interfaces_[size_t(index)].config.outputLength;
    return true;
}

void SimHidBus::Sleep(int milliseconds)
{
    {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        sleeps_.push_back(milliseconds);
    }
    Wait(milliseconds);
}

}  // namespace sim
