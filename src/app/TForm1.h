// The main window: controls from TForm1.ui, the handlers, and the view of the logger session below it.
#pragma once

#include "app/TMemo.h"
#include "app/TTimer.h"
#include "dialogs/MainWindowLink.h"
#include "graph/core/GraphHandover.h"
#include "protocol/ShownTexts.h"
#include "protocol/StatusReply.h"
#include "serial/TApdComPort.h"
#include "session/ComPortLink.h"
#include "session/FirmwareExchange.h"
#include "session/PortSearch.h"
#include "session/Session.h"
#include "ui_TForm1.h"

#include <QDateTime>
#include <QSize>
#include <QWidget>
#include <functional>
#include <map>

class CaptureView;
class Interaction;
class PortRegistry;
class TForm2;
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

class TForm1 : public QWidget, public Ui_TForm1, public MainWindowLink, private vexa::session::SessionObserver {
    Q_OBJECT
public:
    explicit TForm1(TForm1Deps deps, QWidget* parent = nullptr);
    ~TForm1() override;

    // The serial port component: its line settings and delivery are set here; only the session opens,
    // closes, drains, reads and writes it.
    TApdComPort ApdComPort1;

  private:
    vexa::session::ComPortLink portLink_{ApdComPort1};
    vexa::session::Session session_{portLink_, *this};

  public:
    // The link's state, read only: the session alone writes it (LinkUp, CommandsEnabled, CountsPerG, ...).
    const vexa::session::LinkState& State;
    vexa::session::Session& LoggerSession() { return session_; }
    const vexa::session::Session& LoggerSession() const { return session_; }
    // The update's exchange with the boot loader, run by the session.
    const vexa::session::FirmwareExchange* const Firmware;

    TTimer* Timer1;
    // Drives the session's own tick (watchdog, exclusive modes' time-outs), also while Timer1 is stopped.
    QTimer* SessionTick;

    // State of the window itself: the PC clock as the last tick read it, the caption's suffix, the
    // download's start and the height it restores, and the data set's name for the graph.
    QDateTime NowValue;
    std::string WindowTitleText = " UPdater20003.0De26";
    QDateTime DownloadStartTime;
    int SavedFormHeight = 0;
    std::string DataFileName;
    // Scratch texts of the command handlers.
    std::string CommandText;
    std::string CommandArg;
    // A command of the command set: asks the session to send it; then clears the work area and stops
    // discovery's tick (so it cannot close the port before the follow-ups have run) where asked. False
    // when the session refused it.
    bool Command(const vexa::session::CommandRequest& request, bool clearWorkArea, bool stopTimer);

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

    // Fills the device facts a recording lacks from the controls that show the logger's replies.
    void CompleteDeviceFacts(vexa::DeviceFacts& device) const;

    // ---- graph window (GraphHandover.cpp): "グラフ" hands the work area's recording to it ----
    void Button12Click();
    void SetGraphWindow(TForm2* form2);
    TForm2* Form2 = nullptr;
    // What the last "グラフ" handed over; the graph window copies it each time it is shown.
    vexa::GraphHandover GraphLines;

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
    bool LinkSendCommand(const std::string& bytes, const std::string& followUp) override;
    std::string LinkReservationTimeText() const override;
    int LinkReservationState() const override;
    bool LinkConfirmReservationTime(const std::string& text) override;
    void LinkDropReservationRequest() override;
    void LinkShowReservationTime() override;
    void LinkStartModeChange() override;
    Interaction& LinkInteraction() override;
    // True while CheckBox2Click sets the box itself (its toggled signal must not send again).
    bool checkBox2Busy_ = false;

    // ---- label handlers without a command ----
    void Label20Click();

    // The session's tick; it also notices at once a port whose logger was unplugged (PortLoss.cpp).
    void SessionTickTimer();

    // ---- firmware update (FirmwareUpdate.cpp) ----
    void Button37Click();
    void Button39Click();
    void Button57Click();

    // Current PC date-time (the clock seam).
    QDateTime Now() const;
    Interaction& UI() const { return *deps_.interaction; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // What the session reports, rendered into the controls (SessionView.cpp, ReplyControls.cpp,
  // Monitor.cpp, Capture.cpp, FirmwareUpdate.cpp).
  void PhaseChanged(vexa::session::Phase phase) override;
  void LinkEstablished() override;
  void LinkDown(const vexa::session::LinkDownReport& report) override;
  void RequestRefused(vexa::session::Refusal why) override;
  void MonitorChanged(bool on) override;
  void ReceiveProgress(vexa::session::ReceiveStep step) override;
  void WorkAreaLine(std::string_view line) override;
  void ModelLineReceived(const vexa::ModelLine& model) override;
  void StatusReplyReceived(const vexa::StatusReply& reply) override;
  void MonitorScanned(const vexa::MonitorScan& scan) override;
  void AnswerEnded(std::string_view lastText) override;
  void DownloadProgress(int value) override;
  void DownloadFinished(vexa::Recording&& records, const vexa::session::DownloadSummary& summary) override;
  void CaptureStarted() override;
  void CaptureProgressShown(int maximum) override;
  void CaptureProgress(int position) override;
  void CaptureProgressHidden() override;
  void CaptureWorkAreaLine(std::string line) override;
  void CaptureOutputBegins() override;
  void CaptureWorkAreaLines(vexa::Recording&& block) override;
  void CaptureOutputEnds() override;
  void CaptureStepDue() override;
  void CaptureStatus(std::string text) override;
  void CaptureFinished(const vexa::session::CaptureSummary& summary) override;
  std::string CaptureClockText() override;
  void FirmwareProgressStart(int lineCount) override;
  void FirmwareLine(int position, const std::string& shown) override;
  void FirmwareSendingDone() override;
  void FirmwareStatus(const std::string& text) override;
  void FirmwareEnded(const vexa::session::FirmwareResult& result) override;
  void ApplyCountReply(const vexa::CountReply& reply);
  void ShowText(const vexa::ShownText& shown);
  // Header line 1 of a download: "Start Year=" + the start year, with " @1G=" + CountsPerG if asked.
  std::string StartYearLine(bool withCountsPerG) const;
  void StartDownload(const char* request, const std::string& header1, std::string_view header2,
                     int heightDuring, bool setDataFileName);
  // Discovery helpers.
  void DiscoveryTick();
  void ShowLinkDown();
  // Fills a list of the discovery tick, with a last line naming how many entries it leaves out.
  void ShowPortList(QListWidget* list, const std::vector<std::string>& names, size_t notListed);
  bool registryCutSaid_ = false;
  // A connect went out: the caption and pictures say the logger's answer is awaited.
  void ShowConnecting();
  std::string unusablePortName_; // a port name without a number, reported once
  QString lastTickError_;        // the last error a tick showed, so a lasting fault is shown once
  vexa::session::RegistrySnapshot lastSnapshot_;
  // Timer1's interval while an update or a capture owns the link, given back when it ends.
  bool exclusivePhase_ = false;
  int savedTimerInterval_ = 0;
  void ConnectPortHooks();

  void ConnectHandlers();
  // Wiring of the command set's controls (Commands.cpp).
  void ConnectCommandHandlers();
  void OnClick(QWidget* label, std::function<void()> handler);
  void OnDblClick(QWidget* label, std::function<void()> handler);

  void SetUpFirmwareUpdate();
  std::vector<std::string> standInImage_;

  TForm1Deps deps_;
  CaptureView* capture_ = nullptr;
  std::shared_ptr<UiMailbox> mailbox_;
  std::map<QObject*, std::function<void()>> clickHandlers_;
  std::map<QObject*, std::function<void()>> dblClickHandlers_;
};
