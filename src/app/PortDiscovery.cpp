// Port discovery and connection: the periodic tick, connect, close and the serial-ports window.

#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/DeviceManager.h"
#include "platform/PortRegistry.h"
#include "platform/TextCodec.h"

#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

void TForm1::ShowPortList(QListWidget* list, const std::vector<std::string>& names, size_t notListed) {
    list->clear();
    for (const auto& name : names)
        list->addItem(AnsiToQString(name));
    // A crowded registry is searched whole but listed in part: the last line says what is left out.
    if (notListed > 0) list->addItem(QStringLiteral("... %1 more not listed").arg(notListed));
}

void TForm1::ShowLinkDown() {
    Image4->show();
    Image5->hide();
    Button32->hide();
    Button31->hide();
    Button45->hide();
}

void TForm1::LoggerGone() {
    // Linked, or in the middle of an exchange: the logger was there and is gone now. Said once, as the
    // link is down afterwards.
    const bool wasThere = State.LinkUp == 1 || session_.WatchdogArmed() || State.DownloadActive == 1;
    ShowLinkDown();
    State.AutoConnectDone = 0;
    ApdComPort1.SetOpen(false);
    const bool downloading = State.DownloadActive == 1;
    session_.OnPortLost(vexa::session::Clock::now());
    if (wasThere && !downloading) Label33->setText(QStringLiteral("Exchange ended: the logger was unplugged"));
    if (downloading) Label33->setText(Label33->text() + QStringLiteral(" (the logger was unplugged)"));
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
    // The timer is stopped while the tick runs; the interval it had is put back at the end.
    const int remembered = Timer1->Interval();
    Timer1->SetInterval(0);
    Edit9->setText(QString::number(remembered));

    NowValue = Now();
    State.NowText = NowValue.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toStdString();

    // The "m" that follows a clock setting once the logger has had time to take it.
    if (State.ClockSetPending && ClockSetDeadline.isValid() && ClockSetDeadline <= NowValue) {
        ApdComPort1.SetOpen(true);
        State.ClockSetPending = 0;
        SendChar('m');
        return; // the reply restarts the timer
    }

    Label6->setText(QString::fromStdString(State.NowText));
    ApdComPort1.SetOpen(false);
    Edit5->clear();

    // One read of the registry per tick; the opens that follow use its device paths.
    lastSnapshot_ = deps_.registry ? deps_.registry->Snapshot() : vexa::session::RegistrySnapshot{};
    const vexa::session::PortSearch search =
        vexa::session::SearchPorts(lastSnapshot_, CheckBox1->isChecked(), QStringToAnsi(Edit3->text()));
    using Outcome = vexa::session::PortSearch::Outcome;
    const QString title = QString::fromStdString(State.WindowTitleText);

    ShowPortList(ListBox1, search.valueNames, search.valueNamesNotListed);
    if (lastSnapshot_.cut && !registryCutSaid_)
        Label33->setText(QStringLiteral("The port registry is larger than the tool reads; ports named in its "
                                        "end are not looked at"));
    registryCutSaid_ = lastSnapshot_.cut;

    if (search.outcome == Outcome::Absent) {
        setWindowTitle(QStringLiteral("Can't find a VEXA") + title);
        Edit3->setText(QStringLiteral("No Port"));
        Button4->setText(tr("接<->続"));
        LoggerGone();
        State.CommandsEnabled = 0;
        if (State.MonitorMode == 1) Button10Click();
        Timer1->SetInterval(remembered);
        return;
    }

    setWindowTitle(QStringLiteral("Serching V-EXA") + title);
    ShowPortList(ListBox2, search.vcpPorts, search.vcpPortsNotListed);
    if (!search.vcpPorts.empty()) Edit4->setText(AnsiToQString(search.lastPortRead));
    UpDown1->setMaximum(int(search.vcpPortCount) - 1);
    if (search.outcome == Outcome::NameTooLong) return; // ends at once; the timer stays stopped
    if (search.loggerPort) Edit19->setText(AnsiToQString(*search.loggerPort));
    if (search.adapterSearched) setWindowTitle(QStringLiteral("Serching FTDI") + title);
    Edit3->setText(AnsiToQString(search.chosenPort));
    Edit5->setText(QString::fromStdString(search.lastSearch));

    repaint();
    Edit3->repaint();

    if (!search.Found()) {
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

    setWindowTitle(title);
    if (State.AutoConnectDone == 0) {
        // A logger registered as "COM0", "COM-1" or "COM" has no port number to open; opening it would
        // bring up the port-selection dialog at every tick. Say so once and keep looking instead.
        const std::string portText = QStringToAnsi(Edit3->text());
        if (vexa::session::PortNumberOfText(portText) == 0) {
            if (portText != unusablePortName_) {
                unusablePortName_ = portText;
                Label33->setText(QStringLiteral("The logger's port name \"%1\" has no usable port number; still looking")
                                     .arg(Edit3->text()));
            }
            Timer1->SetInterval(remembered);
            return;
        }
        unusablePortName_.clear();
        Button4Click();
        State.AutoConnectDone = 1;
    }
    if (State.LinkUp == 0) return; // the logger's first answer restarts the timer

    // At most one deferred item group per tick: the status refresh after monitoring, one character of
    // a tick sequence, or the monitor's poll or command.
    if (State.MonitorMode == 0 && State.StatusRefreshPending == 1 && State.MonitorPollPending == 0) {
        ApdComPort1.SetOpen(true);
        Send("p");
        State.StatusRefreshPending = 0;
    }
    if (State.MonitorMode == 0 && State.TickSequenceIndex != -1) {
        if (!ApdComPort1.Open()) ApdComPort1.SetOpen(true);
        SendChar(State.TickSequence[size_t(State.TickSequenceIndex)]);
        ++State.TickSequenceIndex;
        if (State.TickSequence[size_t(State.TickSequenceIndex)] == '\0' || State.TickSequenceIndex > 4)
            State.TickSequenceIndex = -1;
    }
    if (State.MonitorMode != 0 && State.MonitorPollPending == 0) {
        if (State.MonitorCommand.Empty()) {
            Memo1->Clear();
            ApdComPort1.SetOpen(true);
            ApdComPort1.GetAvailable(); // what arrived before the poll is not its answer
            session_.SendMonitorPoll(vexa::session::Clock::now());
        } else {
            Send(State.MonitorCommand.Str());
            State.MonitorCommand.Clear();
        }
    }
    Timer1->SetInterval(remembered);
}

void TForm1::Button4Click() {
    ApdComPort1.SetComNumber(std::uint16_t(vexa::session::PortNumberOfText(QStringToAnsi(Edit3->text()))));
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

// The system's device manager where there is one (Windows); elsewhere the button lists the serial
// ports the system has, with the USB vendor and product, the driver and the device path of each.
void TForm1::Button13Click() {
    if (OpenDeviceManager()) return;
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
