// The main window: controls from TForm1.ui, the shared state, and the handlers that drive the logger.
#pragma once

#include "app/TMemo.h"
#include "app/TTimer.h"
#include "app/Unit1State.h"
#include "dialogs/MainWindowLink.h"
#include "protocol/StatusReply.h"
#include "serial/TApdComPort.h"
#include "ui_TForm1.h"

#include <QDateTime>
#include <QSize>
#include <QWidget>
#include <functional>
#include <map>

class CaptureView;
class Interaction;
class PortRegistry;
class TForm3;
class TForm5;
class TForm6;

// What the main window needs from its surroundings; tests pass doubles.
struct TForm1Deps {
    Interaction* interaction = nullptr;
    PortRegistry* registry = nullptr;
    // Screen size used for placing the window; empty = the primary screen's.
    QSize screenSize;
    // The PC clock; tests set it.
    std::function<QDateTime()> clock;
};

// Window position of the main window on a screen of the given size.
QPoint MainWindowPosition(int screenWidth, int screenHeight);

class TForm1 : public QWidget, public Ui_TForm1, public Unit1State, public MainWindowLink {
    Q_OBJECT
public:
    explicit TForm1(TForm1Deps deps, QWidget* parent = nullptr);
    ~TForm1() override;

    TTimer* Timer1;
    TApdComPort ApdComPort1;
    // Ends an exchange whose logger has gone silent (see ExchangeWatchdogTimer).
    QTimer* ExchangeWatchdog;
    int ExchangeTimeoutMs = 10000;

    // Size remembered at the end of FormCreate; the "↓" label toggles back to this height.
    int StartWidth = 0;
    int StartHeight = 0;

    // ---- start-up ----
    void FormCreate();

    // ---- port discovery and connection ----
    void Timer1Timer();
    void Button4Click();
    void Button42Click();
    void Button13Click();

    // ---- monitor ----
    void Button10Click();

    // ---- receive parser ----
    void ApdComPort1TriggerAvail(TApdCustomComPort& CP, std::uint16_t Count);

    // ---- 5-ms online capture (Capture.cpp) ----
    void Button40Click();
    CaptureView& Capture() { return *capture_; }

    // ---- recorded-data download and the work area's files ----
    void Button30Click();
    void Button47Click();
    void Button3Click();
    void Button28Click();
    void Button6Click();
    void Button11Click();
    void Button27Click();
    // Writes the work area's lines to a file (CR LF after each line); throws on failure.
    void SaveWorkArea(const QString& path);

    // The save dialog's filter as the last save left it ("" before the first save), and the open
    // dialog's current file name.
    QString SaveDialogFilter;
    QString OpenDialogFileName;

    // ---- command set (Commands.cpp) ----
    void Button1Click();
    void Button2Click();
    void Button5Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button14Click();
    void Button15Click();
    void Button16Click();
    void Button17Click();
    void Button18Click();
    void Button19Click();
    void Button20Click();
    void Button21Click();
    void Button22Click();
    void Button23Click();
    void Button24Click();
    void Button25Click();
    void Button26Click();
    void Button29Click();
    void Button31Click();
    void Button32Click();
    void Button33Click();
    void Button34Click();
    void Button35Click();
    void Button36Click();
    void Button38Click();
    void Button41Click();
    void Button43Click();
    void Button44Click();
    void Button45Click();
    void Button46Click();
    void Button48Click();
    void Button49Click();
    void Button50Click();
    void Button51Click();
    void Button52Click();
    void Button53Click();
    void Button54Click();
    void Button55Click();
    void Button56Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void ComboBox3Change();
    void ComboBox4Change();
    void ComboBox5Change();
    void CheckBox2Click();
    void Label17DblClick();
    void Label19DblClick();
    void Label22DblClick();
    void Label25DblClick();
    void Label26DblClick();
    void Label30Click();
    void Label36Click();
    // The dialogs the command handlers open (created by the entry point after this window).
    void SetDialogs(TForm3* form3, TForm5* form5, TForm6* form6);
    TForm3* Form3 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
    // The settings dialogs' view of this window.
    bool LinkCommandsEnabled() const override;
    bool LinkPortOpen() const override;
    void LinkOpenAndSend(const std::string& bytes) override;
    void LinkStopTimer() override;
    void LinkSetPendingCommand1(const std::string& command) override;
    std::string LinkReservationTimeText() const override;
    void LinkSetReservationTimeText(const std::string& text) override;
    int LinkReservationState() const override;
    void LinkSetReservationState(int state) override;
    void LinkShowReservationTime() override;
    void LinkStartModeChange() override;
    Interaction& LinkInteraction() override;
    // True while CheckBox2Click sets the box itself (its toggled signal must not send again).
    bool checkBox2Busy_ = false;

    // ---- label handlers without a command ----
    void Label20Click();

    // Sends bytes to the logger and waits for its answer (arms the exchange watchdog).
    void Send(const std::string& bytes);
    void SendChar(char c);
    // The watchdog fired: the logger has not sent a byte for ExchangeTimeoutMs while an answer was due.
    void ExchangeWatchdogTimer();

    // Current PC date-time (the clock seam).
    QDateTime Now() const;
    Interaction& UI() const { return *deps_.interaction; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Receive parser steps.
    void FirstContact();
    // The window's linked state: first contact, and the "Hello" button without an exchange.
    void EnterLinkedState();
    void ReplyLoop();
    void HandleLine();
    void MonitorScanStep();
    void ApplyStatusReply(const vexa::StatusReply& reply);
    void ApplyModelLine(std::string_view line);
    void EndOfAnswer();
    std::string RxLineText() const;
    void SetLabel23(const char* text);
    // Download hooks of the parser.
    void StoreDownloadLine(std::string_view line);
    void ApplyCountReply(const vexa::CountReply& reply);
    // Header line 1 of a download: "Start Year=" + the start year, with " @1G=" + CountsPerG if asked.
    std::string StartYearLine(bool withCountsPerG) const;
    void StartDownload(const char* request, const std::string& header1, const char* header2, int heightDuring,
                       bool setDataFileName);
    void FinishDownload(bool complete);
    // Discovery helpers.
    void DiscoveryTick();
    void ShowLinkDown();
    // The logger's port is gone: link-down look, port closed, next finding connects again, a running
    // download is finished with what arrived.
    void LoggerGone();
    QString lastTickError_;  // the last error a tick showed, so a lasting fault is shown once
    void ConnectPortHooks();

    void ConnectHandlers();
    // Wiring of the command set's controls (Commands.cpp).
    void ConnectCommandHandlers();
    void OnClick(QWidget* label, std::function<void()> handler);
    void OnDblClick(QWidget* label, std::function<void()> handler);

    TForm1Deps deps_;
    CaptureView* capture_ = nullptr;
    std::shared_ptr<UiMailbox> mailbox_;
    std::map<QObject*, std::function<void()>> clickHandlers_;
    std::map<QObject*, std::function<void()>> dblClickHandlers_;
};
