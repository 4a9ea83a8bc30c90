// Port discovery and connection: the periodic tick, connect, close and the serial-ports window. The
// session decides and drives the port; the tick shows what it found.

#include "app/TApplication.h"
#include "app/TForm1.h"
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
    // One read of the registry per tick; the opens that follow use its device paths.
    lastSnapshot_ = deps_.registry ? deps_.registry->Snapshot() : vexa::session::RegistrySnapshot{};
    vexa::session::TickInput input;
    input.snapshot = &lastSnapshot_;
    input.adapterAllowed = CheckBox1->isChecked();
    input.chosenPort = QStringToAnsi(Edit3->text());
    input.nowText = NowValue.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toStdString();
    input.wallNow =
        vexa::session::WallClock::time_point(std::chrono::milliseconds(NowValue.toMSecsSinceEpoch()));
    const vexa::session::TickResult tick = session_.DiscoveryTick(input, vexa::session::Clock::now());

    using End = vexa::session::TickResult::End;
    if (tick.end == End::ClockGreeting) return; // the reply restarts the timer
    Label6->setText(QString::fromStdString(State.NowText));
    if (tick.end == End::Busy) {
        Timer1->SetInterval(remembered);
        return;
    }
    Edit5->clear();
    const vexa::session::PortSearch& search = tick.search;
    const QString title = QString::fromStdString(WindowTitleText);
    ShowPortList(ListBox1, search.valueNames, search.valueNamesNotListed);
    if (lastSnapshot_.cut && !registryCutSaid_)
        Label33->setText(QStringLiteral("The port registry is larger than the tool reads; ports named in its "
                                        "end are not looked at"));
    registryCutSaid_ = lastSnapshot_.cut;

    if (tick.end == End::Absent) {
        setWindowTitle(QStringLiteral("Can't find a VEXA") + title);
        Edit3->setText(QStringLiteral("No Port"));
        Button4->setText(tr("接<->続"));
        ShowLinkDown();
        Timer1->SetInterval(remembered);
        return;
    }

    setWindowTitle(QStringLiteral("Serching V-EXA") + title);
    ShowPortList(ListBox2, search.vcpPorts, search.vcpPortsNotListed);
    if (!search.vcpPorts.empty()) Edit4->setText(AnsiToQString(search.lastPortRead));
    UpDown1->setMaximum(int(search.vcpPortCount) - 1);
    if (tick.end == End::NameTooLong) return; // ends at once; the timer stays stopped
    if (search.loggerPort) Edit19->setText(AnsiToQString(*search.loggerPort));
    if (search.adapterSearched) setWindowTitle(QStringLiteral("Serching FTDI") + title);
    Edit3->setText(AnsiToQString(search.chosenPort));
    Edit5->setText(QString::fromStdString(search.lastSearch));

    repaint();
    Edit3->repaint();

    if (tick.end == End::NotFound) {
        ShowLinkDown();
        Timer1->SetInterval(remembered);
        return;
    }

    setWindowTitle(title);
    if (tick.end == End::UnusablePortName) {
        // Said once per name; discovery keeps looking.
        if (search.chosenPort != unusablePortName_) {
            unusablePortName_ = search.chosenPort;
            Label33->setText(
                QStringLiteral("The logger's port name \"%1\" has no usable port number; still looking")
                    .arg(Edit3->text()));
        }
        Timer1->SetInterval(remembered);
        return;
    }
    unusablePortName_.clear();
    if (tick.connected) ShowConnecting();
    if (tick.end == End::AwaitingContact) return; // the logger's first answer restarts the timer
    Timer1->SetInterval(remembered);
}

void TForm1::ShowConnecting() {
    Button4->setText(QStringLiteral("|=|"));
    Image4->show();
    Image5->hide();
    Button45->hide();
}

void TForm1::Button4Click() {
    const auto portNumber = vexa::session::PortNumberOfText(QStringToAnsi(Edit3->text()));
    if (!session_.RequestConnect(unsigned(std::max(portNumber, 0)), vexa::session::Clock::now())) return;
    ShowConnecting();
}

void TForm1::Button42Click() {
    session_.RequestClose(vexa::session::Clock::now());
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
