// The main window: construction, start-up (FormCreate) and the wiring of controls to handlers.
#include "app/TForm1.h"

#include "app/CaptureView.h"
#include "app/MainWindowLanguage.h"
#include "app/TApplication.h"

#include "platform/Interaction.h"
#include "platform/PortRegistry.h"
#include "platform/QtUiMailbox.h"
#include "protocol/CodeTables.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

QPoint MainWindowPosition(int screenWidth, int screenHeight) {
    const int left = screenWidth >= 1024 ? screenWidth / 8 : screenWidth / 16;
    const int top = screenHeight >= 800 ? screenHeight / 8 : 10;
    return {left, top};
}

TForm1::TForm1(TForm1Deps deps, QWidget* parent)
    : QWidget(parent), State(session_.State()), Firmware(&session_.Firmware()), deps_(std::move(deps)) {
    if (!deps_.clock) deps_.clock = [] { return QDateTime::currentDateTime(); };
    setupUi(this);
    setWindowTitle(QStringLiteral("VEXA-RealTime"));
    Timer1 = new TTimer(this, 2000);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->OnTimer = [this] { Timer1Timer(); };
    // Four times a second: the session's watchdog and its modes' time-outs need no finer step.
    SessionTick = new QTimer(this);
    SessionTick->setObjectName(QStringLiteral("SessionTick"));
    connect(SessionTick, &QTimer::timeout, this, [this] { SessionTickTimer(); });
    SessionTick->start(250);
    ConnectPortHooks();
    capture_ = new CaptureView(*this);
    ConnectHandlers();
    SetUpFirmwareUpdate();
    FormCreate();
}

TForm1::~TForm1() {
    // No notification may reach the controls while they go away; the component closes the port as it
    // is destroyed.
    ApdComPort1.OnTriggerAvail = nullptr;
    // Nor may the capture's key filter see the events of the window's teardown: it asks the session,
    // which goes before the widget part of the window does.
    removeEventFilter(capture_);
}

void TForm1::ConnectPortHooks() {
    // The logger's line: 115200 baud, 8 data bits, no parity, one stop bit, 512-byte output buffer,
    // DTR on, RTS off, no flow control.
    ApdComPort1.SetComNumber(1);
    ApdComPort1.SetBaud(115200);
    ApdComPort1.SetOutSize(512);
    ApdComPort1.SetRTS(false);
    mailbox_ = std::make_shared<QtUiMailbox>();
    ApdComPort1.SetUiMailbox(mailbox_);
    ApdComPort1.SetDevicePathResolver([this](unsigned n) -> std::optional<std::string> {
        // The last tick's snapshot knows the ports it found; others (a port typed by hand, a connect
        // before the first tick) are asked for.
        if (auto it = lastSnapshot_.devicePaths.find(n); it != lastSnapshot_.devicePaths.end()) return it->second;
        if (!deps_.registry) return std::nullopt;
        return deps_.registry->DevicePath(n);
    });
    ApdComPort1.SetPortSelectionHook([this](const std::vector<std::string>& names) -> std::optional<unsigned> {
        QStringList list;
        for (const auto& n : names) list << QString::fromStdString(n);
        const auto chosen = UI().SelectPort(list);
        if (!chosen || *chosen < 0 || *chosen >= int(names.size())) return std::nullopt;
        // The chosen number is the entry's text from its fourth character on.
        const std::string& text = names[size_t(*chosen)];
        return unsigned(vexa::session::PortNumberOfText(text));
    });
    ApdComPort1.OnTriggerAvail = [this](TApdCustomComPort& cp, std::uint16_t count) {
        ApdComPort1TriggerAvail(cp, count);
    };
}

QDateTime TForm1::Now() const { return deps_.clock(); }

void TForm1::FormCreate() {
    QSize screen = deps_.screenSize;
    if (screen.isEmpty()) {
        if (const QScreen* s = QGuiApplication::primaryScreen()) screen = s->geometry().size();
    }
    move(MainWindowPosition(screen.width(), screen.height()));

    // The controls below the row of "FILE" stay outside the visible area.
    const int button11Top = Button11->mapTo(this, QPoint(0, 0)).y();
    resize(2 * Memo1->x() + Memo1->width(), button11Top + 67);

    Memo1->Clear();

    UpDown1->setMaximum(100);
    UpDown1->setMinimum(0);
    UpDown1->setValue(0);
    Edit3->setText(QStringLiteral("1"));

    // One pass of port discovery, so that a logger already plugged in is found before the first tick.
    // A port error here is shown like any handler's, and start-up goes on.
    try {
        Timer1Timer();
    } catch (...) {
        UI().ErrorBox(ExceptionMessage(std::current_exception()));
    }

    Button22->hide();

    // Thresholds 00..98.
    ComboBox1->clear();
    for (int i = 0; i < 99; ++i) ComboBox1->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());

    ComboBox4->clear();
    ComboBox4->addItems(StartModeItems());
    ComboBox4->setCurrentIndex(-1);
    ComboBox4->setEditText(QString());

    ComboBox2->clear();
    for (std::string_view name : vexa::IntervalChoices()) ComboBox2->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    ComboBox2->setEditText(QStringLiteral("10min"));

    ComboBox3->clear();
    for (std::string_view name : vexa::SamplingChoices()) ComboBox3->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    ComboBox3->setEditText(QStringLiteral("R"));

    ComboBox5->setEditText(QStringLiteral("10"));

    ProgressBar1->hide();
    StartWidth = width();
    StartHeight = height();
    Button45->hide();
}

void TForm1::Label20Click() {
    if (Label20->text() == QStringLiteral("↓")) {
        resize(width(), StartHeight + 160);
        Label20->setText(QStringLiteral("↑"));
    } else {
        resize(width(), StartHeight);
        Label20->setText(QStringLiteral("↓"));
    }
}

void TForm1::OnClick(QWidget* label, std::function<void()> handler) {
    clickHandlers_[label] = std::move(handler);
    label->installEventFilter(this);
}

void TForm1::OnDblClick(QWidget* label, std::function<void()> handler) {
    dblClickHandlers_[label] = std::move(handler);
    label->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (auto it = clickHandlers_.find(watched); it != clickHandlers_.end()) {
            it->second();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto it = dblClickHandlers_.find(watched); it != dblClickHandlers_.end()) {
            it->second();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::ConnectHandlers() {
    auto click = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    click(Button4, &TForm1::Button4Click);
    click(Button42, &TForm1::Button42Click);
    click(Button13, &TForm1::Button13Click);
    click(Button10, &TForm1::Button10Click);
    click(Button40, &TForm1::Button40Click);
    click(Button30, &TForm1::Button30Click);
    click(Button47, &TForm1::Button47Click);
    click(Button3, &TForm1::Button3Click);
    click(Button28, &TForm1::Button28Click);
    click(Button6, &TForm1::Button6Click);
    click(Button11, &TForm1::Button11Click);
    click(Button27, &TForm1::Button27Click);
    OnClick(Label20, [this] { Label20Click(); });
    ConnectCommandHandlers();
}
