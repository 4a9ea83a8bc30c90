// Port discovery and connection: the periodic tick, connect, close and the serial-ports window.
#include "app/PortDiscovery.h"

#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/PortRegistry.h"
#include "platform/TextCodec.h"

#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// The registry's port list is scanned for at most this many value names.
constexpr int kMaxValueNames = 64;
} // namespace

FriendlyPortName PortNameFromFriendlyName(std::string_view friendlyName) {
    const size_t open = friendlyName.find('(');
    if (open == std::string_view::npos) return {};
    std::string copied;
    for (size_t i = open + 1; i < friendlyName.size(); ++i) {
        const char c = friendlyName[i];
        if (c == ')') return {FriendlyPortName::Found, copied};
        if (copied.size() == 6) return {FriendlyPortName::TooLong, {}};
        copied += c;
    }
    return {};  // no closing parenthesis
}

int PortNumberOfText(std::string_view text) {
    text = text.substr(0, std::min<size_t>(text.size(), 15));
    if (text.size() <= 3) return 0;
    std::string_view rest = text.substr(3);
    size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    bool negative = false;
    if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) negative = rest[i++] == '-';
    long value = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        value = value * 10 + (rest[i] - '0');
        if (value > 65535) return 0;  // no such port; keeps the number inside the port number's range
    }
    return negative ? 0 : int(value);
}

int VcpPosition(std::string_view valueName) {
    const size_t p = valueName.find("VCP");
    return p == std::string_view::npos ? 0 : int(p) + 1;
}

void TForm1::ShowLinkDown() {
    Image4->show();
    Image5->hide();
    Button32->hide();
    Button31->hide();
    Button45->hide();
}

void TForm1::LoggerGone() {
    ShowLinkDown();
    State.AutoConnectDone = 0;
    ApdComPort1.SetOpen(false);
    session_.OnPortLost(vexa::session::Clock::now());
}

void TForm1::Timer1Timer() {
    const int remembered = Timer1->Interval();
    try {
        DiscoveryTick();
        lastTickError_.clear();
    } catch (...) {
        // A port error (the port held by another program, the device gone) would leave the timer
        // stopped and discovery dead until some other handler restarts it. Keep looking instead, and
        // show the same error only once rather than at every tick.
        if (Timer1->Interval() == 0 && remembered > 0) Timer1->SetInterval(remembered);
        const QString message = ExceptionMessage(std::current_exception());
        if (message == lastTickError_) return;
        lastTickError_ = message;
        throw;
    }
}

void TForm1::DiscoveryTick() {
    // 1. Stop the timer while the tick runs; remember its interval.
    const int remembered = Timer1->Interval();
    Timer1->SetInterval(0);
    Edit9->setText(QString::number(remembered));

    // 2. Clock texts.
    NowValue = Now();
    State.NowText = NowValue.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toStdString();

    // 3. Timed "m".
    if (State.ClockSetPending && ClockSetDeadline.isValid() && ClockSetDeadline <= NowValue) {
        ApdComPort1.SetOpen(true);
        State.ClockSetPending = 0;
        SendChar('m');
        return;  // the reply restarts the timer
    }

    // 4.
    Label6->setText(QString::fromStdString(State.NowText));
    ApdComPort1.SetOpen(false);
    Edit5->clear();

    // 5. The registry's list of serial ports.
    std::vector<std::pair<std::string, std::string>> values;
    if (deps_.registry) values = deps_.registry->SerialCommValues();
    if (values.size() > size_t(kMaxValueNames)) values.resize(kMaxValueNames);
    ListBox1->clear();
    std::vector<int> vcpAt;
    for (const auto& [name, data] : values) {
        ListBox1->addItem(AnsiToQString(name));
        vcpAt.push_back(VcpPosition(name));
    }

    // 6. No port of the virtual COM driver: the logger is absent.
    const bool anyVcp = std::any_of(vcpAt.begin(), vcpAt.end(), [](int p) { return p > 0; });
    if (!anyVcp) {
        setWindowTitle(QStringLiteral("Can't find a VEXA") + QString::fromStdString(State.WindowTitleText));
        Edit3->setText(QStringLiteral("No Port"));
        Button4->setText(QStringLiteral("接<->続"));
        LoggerGone();
        State.CommandsEnabled = 0;
        if (State.MonitorMode == 1) Button10Click();
        Timer1->SetInterval(remembered);
        return;
    }

    // 7. First search: the logger's own device entry.
    setWindowTitle(QStringLiteral("Serching V-EXA") + QString::fromStdString(State.WindowTitleText));
    ListBox2->clear();
    for (size_t i = 0; i < values.size(); ++i) {
        if (vcpAt[i] == 0) continue;
        Edit4->setText(AnsiToQString(values[i].second));
        ListBox2->addItem(Edit4->text());
    }
    UpDown1->setMaximum(ListBox2->count() - 1);

    bool found = false;
    if (auto friendly = deps_.registry ? deps_.registry->LoggerFriendlyName() : std::nullopt) {
        const FriendlyPortName port = PortNameFromFriendlyName(*friendly);
        if (port.kind == FriendlyPortName::TooLong) return;  // ends at once; the timer stays stopped
        if (port.kind == FriendlyPortName::Found) {
            Edit5->setText(QString::fromStdString(port.name));
            Edit19->setText(QString::fromStdString(port.name));
            for (int i = 0; i < ListBox2->count(); ++i) {
                if (ListBox2->item(i)->text() == Edit5->text()) {
                    found = true;
                    Edit3->setText(Edit5->text());
                }
            }
            Edit5->setText(QStringLiteral("VEXA"));
        }
    }

    // 8. Second search: a generic USB-serial adapter, when allowed.
    if (!found && CheckBox1->isChecked()) {
        setWindowTitle(QStringLiteral("Serching FTDI") + QString::fromStdString(State.WindowTitleText));
        if (auto portName = deps_.registry ? deps_.registry->AdapterPortName() : std::nullopt) {
            Edit5->setText(QString::fromStdString(*portName));
            for (int i = 0; i < ListBox2->count(); ++i) {
                if (ListBox2->item(i)->text() == Edit3->text()) {
                    found = true;
                    Edit3->setText(Edit5->text());
                }
            }
            Edit5->setText(QStringLiteral("FTDI"));
        }
    }

    // 9.
    repaint();
    Edit3->repaint();

    // 10. Not found.
    if (!found) {
        LoggerGone();
        if (State.MonitorMode == 1) {
            Button10Click();
            State.CommandsEnabled = 0;
            State.MonitorPollPending = 0;
            State.LinkUp = 0;
        }
        Timer1->SetInterval(remembered);
        return;
    }

    // 11. Found.
    setWindowTitle(QString::fromStdString(State.WindowTitleText));
    if (State.AutoConnectDone == 0) {
        Button4Click();
        State.AutoConnectDone = 1;
    }
    if (State.LinkUp == 0) return;  // the logger's first answer restarts the timer

    if (State.MonitorMode == 0 && State.StatusRefreshPending == 1 && State.MonitorPollPending == 0) {
        ApdComPort1.SetOpen(true);
        Send("p");
        State.StatusRefreshPending = 0;
    }
    if (State.MonitorMode == 0 && State.TickSequenceIndex != -1) {
        if (!ApdComPort1.Open()) ApdComPort1.SetOpen(true);
        SendChar(State.TickSequence[size_t(State.TickSequenceIndex)]);
        ++State.TickSequenceIndex;
        if (State.TickSequence[size_t(State.TickSequenceIndex)] == '\0' || State.TickSequenceIndex > 4) State.TickSequenceIndex = -1;
    }
    if (State.MonitorMode != 0 && State.MonitorPollPending == 0) {
        if (State.MonitorCommand.Empty()) {
            Memo1->Clear();
            ApdComPort1.SetOpen(true);
            while (ApdComPort1.CharReady()) ApdComPort1.GetChar();
            session_.SendMonitorPoll(vexa::session::Clock::now());
        } else {
            Send(State.MonitorCommand.Str());
            State.MonitorCommand.Clear();
        }
    }
    Timer1->SetInterval(remembered);
}

void TForm1::Button4Click() {
    ApdComPort1.SetComNumber(std::uint16_t(PortNumberOfText(QStringToAnsi(Edit3->text()))));
    ApdComPort1.SetOpen(false);
    ApdComPort1.SetOpen(true);
    ApdComPort1.FlushInBuffer();
    Button4->setText(QStringLiteral("|=|"));
    session_.RequestContact(vexa::session::Clock::now());
    Image4->show();
    Image5->hide();
    Button45->hide();
}

void TForm1::Button42Click() {
    for (std::uint16_t n = 0; n <= 3; ++n) {
        ApdComPort1.SetComNumber(n);
        ApdComPort1.SetOpen(false);
    }
    session_.StopWatchdog();
}

// There is no device manager on this platform: the button lists the serial ports the system has,
// with the USB vendor and product, the driver and the device path of each.
void TForm1::Button13Click() {
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("SerialPortsWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Serial ports"));
    auto* table = new QTableWidget(dialog);
    table->setObjectName(QStringLiteral("SerialPortsTable"));
    table->setColumnCount(6);
    table->setHorizontalHeaderLabels({"Port", "Device", "Vendor", "Product", "Driver", "Name"});
    std::vector<SerialPortInfo> ports;
    if (deps_.registry) ports = deps_.registry->Describe();
    table->setRowCount(int(ports.size()));
    for (int r = 0; r < int(ports.size()); ++r) {
        const auto& p = ports[size_t(r)];
        const std::string cells[] = {p.comName, p.devicePath, p.vendorId, p.productId, p.driver, p.product};
        for (int c = 0; c < 6; ++c)
            table->setItem(r, c, new QTableWidgetItem(QString::fromStdString(cells[c])));
    }
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(table);
    dialog->resize(640, 240);
    dialog->show();
}
