// The real-time monitor: switching it on and off (the session's tick polls, the parser shows the answers).
#include "app/TForm1.h"

namespace {
QList<QWidget*> MonitorHiddenSet(TForm1& f) {
    return {f.ComboBox1, f.ComboBox2, f.ComboBox3, f.ComboBox4, f.ComboBox5, f.Button30, f.CheckBox2, f.Label19,
            f.Button4,   f.Button3,   f.Button6,   f.Button9,   f.Button2,   f.Button11, f.Button12,  f.Button17};
}
QList<QWidget*> MonitorShownSet(TForm1& f) {
    return {f.Button22, f.TrackBar1, f.TrackBar2, f.TrackBar3, f.Label1, f.Label2, f.Label3, f.Edit10};
}
} // namespace

void TForm1::Button10Click() {
    session_.SetMonitor(State.MonitorMode == 0, vexa::session::Clock::now());
}

void TForm1::MonitorChanged(bool on) {
    if (on) {
        Timer1->SetInterval(0);
        Button10->setText(tr("もどる"));
        Memo1->Clear();
        Memo1->Add("On monitoring");
        for (QWidget* w : MonitorHiddenSet(*this)) w->hide();
        for (QWidget* w : MonitorShownSet(*this)) w->show();
        Memo1->hide();
        // About three polls a second.
        Timer1->SetInterval(300);
    } else {
        Timer1->SetInterval(1000);
        Button10->setText(tr("モニタ"));
        Button10->setPalette(QPalette());
        Memo1->Clear();
        for (QWidget* w : MonitorHiddenSet(*this)) w->show();
        for (QWidget* w : MonitorShownSet(*this)) w->hide();
        Memo1->show();
    }
}
