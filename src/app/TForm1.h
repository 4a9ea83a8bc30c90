// The main window: controls from TForm1.ui, the shared state, and the handlers that drive the logger.
#pragma once

#include "app/TMemo.h"
#include "app/TTimer.h"
#include "app/Unit1State.h"
#include "ui_TForm1.h"

#include <QDateTime>
#include <QSize>
#include <QWidget>
#include <functional>
#include <map>

class Interaction;
class PortRegistry;

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

class TForm1 : public QWidget, public Ui_TForm1, public Unit1State {
    Q_OBJECT
public:
    explicit TForm1(TForm1Deps deps, QWidget* parent = nullptr);
    ~TForm1() override;

    TTimer* Timer1;

    // Size remembered at the end of FormCreate; the "↓" label toggles back to this height.
    int StartWidth = 0;
    int StartHeight = 0;

    // ---- start-up ----
    void FormCreate();

    // ---- label handlers without a command ----
    void Label20Click();

    // Current PC date-time (the clock seam).
    QDateTime Now() const;
    Interaction& UI() const { return *deps_.interaction; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectHandlers();
    void OnClick(QWidget* label, std::function<void()> handler);
    void OnDblClick(QWidget* label, std::function<void()> handler);

    TForm1Deps deps_;
    std::map<QObject*, std::function<void()>> clickHandlers_;
    std::map<QObject*, std::function<void()>> dblClickHandlers_;
};
