// Wiring of the command set's controls, and the main window's side of the settings dialogs' link.
#include "app/TForm1.h"

#include "platform/TextCodec.h"

#include <QLineEdit>

void TForm1::SetDialogs(TForm3* form3, TForm5* form5, TForm6* form6) {
    Form3 = form3;
    Form5 = form5;
    Form6 = form6;
}

void TForm1::ConnectCommandHandlers() {
    auto click = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    for (auto [button, handler] : std::initializer_list<std::pair<QPushButton*, void (TForm1::*)()>>{
             {Button1, &TForm1::Button1Click},   {Button2, &TForm1::Button2Click},   {Button5, &TForm1::Button5Click},
             {Button7, &TForm1::Button7Click},   {Button8, &TForm1::Button8Click},   {Button9, &TForm1::Button9Click},
             {Button14, &TForm1::Button14Click}, {Button15, &TForm1::Button15Click}, {Button16, &TForm1::Button16Click},
             {Button17, &TForm1::Button17Click}, {Button18, &TForm1::Button18Click}, {Button19, &TForm1::Button19Click},
             {Button20, &TForm1::Button20Click}, {Button21, &TForm1::Button21Click}, {Button22, &TForm1::Button22Click},
             {Button23, &TForm1::Button23Click}, {Button24, &TForm1::Button24Click}, {Button25, &TForm1::Button25Click},
             {Button26, &TForm1::Button26Click}, {Button29, &TForm1::Button29Click}, {Button31, &TForm1::Button31Click},
             {Button32, &TForm1::Button32Click}, {Button33, &TForm1::Button33Click}, {Button34, &TForm1::Button34Click},
             {Button35, &TForm1::Button35Click}, {Button36, &TForm1::Button36Click}, {Button38, &TForm1::Button38Click},
             {Button41, &TForm1::Button41Click}, {Button43, &TForm1::Button43Click}, {Button44, &TForm1::Button44Click},
             {Button45, &TForm1::Button45Click}, {Button46, &TForm1::Button46Click}, {Button48, &TForm1::Button48Click},
             {Button49, &TForm1::Button49Click}, {Button50, &TForm1::Button50Click}, {Button51, &TForm1::Button51Click},
             {Button52, &TForm1::Button52Click}, {Button53, &TForm1::Button53Click}, {Button54, &TForm1::Button54Click},
             {Button55, &TForm1::Button55Click}, {Button56, &TForm1::Button56Click},
         })
        click(button, handler);

    // The lists act on the user's choices and typing only; texts the parser puts in run nothing.
    auto change = [this](QComboBox* box, void (TForm1::*handler)()) {
        connect(box, &QComboBox::textActivated, this, [this, handler] { (this->*handler)(); });
        if (QLineEdit* edit = box->lineEdit())
            connect(edit, &QLineEdit::textEdited, this, [this, handler] { (this->*handler)(); });
    };
    change(ComboBox1, &TForm1::ComboBox1Change);
    change(ComboBox2, &TForm1::ComboBox2Change);
    change(ComboBox3, &TForm1::ComboBox3Change);
    change(ComboBox4, &TForm1::ComboBox4Change);
    change(ComboBox5, &TForm1::ComboBox5Change);

    // The check box also runs when the parser changes it from the logger's report.
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });

    OnDblClick(Label17, [this] { Label17DblClick(); });
    OnDblClick(Label19, [this] { Label19DblClick(); });
    OnDblClick(Label22, [this] { Label22DblClick(); });
    OnDblClick(Label25, [this] { Label25DblClick(); });
    OnDblClick(Label26, [this] { Label26DblClick(); });
    OnClick(Label30, [this] { Label30Click(); });
    OnClick(Label36, [this] { Label36Click(); });
}

bool TForm1::LinkCommandsEnabled() const { return State.CommandsEnabled == 1; }
bool TForm1::LinkPortOpen() const {
    return session_.PortOpen();
}

bool TForm1::LinkSendCommand(const std::string& bytes, const std::string& followUp) {
    vexa::session::CommandRequest request{bytes, {}, vexa::session::Guard::Idle};
    if (!followUp.empty()) request.followUps = {followUp};
    // The tick stays off until the follow-up has run.
    return Command(request, false, true);
}

std::string TForm1::LinkReservationTimeText() const {
    return State.ReservationTimeText;
}
int TForm1::LinkReservationState() const { return State.ReservationState; }
bool TForm1::LinkConfirmReservationTime(const std::string& text) {
    return session_.ConfirmReservationTime(text);
}
void TForm1::LinkDropReservationRequest() {
    session_.DropReservationRequest();
}
void TForm1::LinkShowReservationTime() { Label25->setText(AnsiToQString(State.ReservationTimeText)); }
void TForm1::LinkStartModeChange() { ComboBox4Change(); }
Interaction& TForm1::LinkInteraction() { return UI(); }
