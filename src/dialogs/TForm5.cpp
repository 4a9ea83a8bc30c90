// The reservation-time dialog: month, day, hour and minute at which the logger starts recording.
#include "dialogs/TForm5.h"

#include "dialogs/MainWindowLink.h"
#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/IntegerConversion.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {
QString TwoDigits(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

int BoxNumber(const QComboBox* box) {
    return vexa::StrictToInt(QStringToAnsi(box->currentText()));
}

// A later time in this month-day-hour-minute numbering than this is more than 15 days ahead.
constexpr int kFarAhead = 150000;
} // namespace

TForm5::TForm5(MainWindowLink& link, QWidget* parent) : QWidget(parent), link_(link) {
    setupUi(this);
    setWindowFlag(Qt::Dialog);
    FormCreate();
    for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4}) {
        box->installEventFilter(this);
        if (box->lineEdit()) box->lineEdit()->installEventFilter(this);
    }
    // Only the user's changes of the day run the check; the dialog's own writes do not.
    connect(ComboBox2, &QComboBox::textActivated, this, [this] { ComboBox2Change(); });
    connect(ComboBox2->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBox2Change(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start(1000);
}

void TForm5::FormCreate() {
    for (int m = 1; m <= 12; ++m)
        ComboBox1->addItem(TwoDigits(m));
    for (int d = 1; d <= 31; ++d)
        ComboBox2->addItem(TwoDigits(d));
    // The hour and minute lists end with a second "00", as the form has always offered them.
    for (int h = 0; h <= 23; ++h)
        ComboBox3->addItem(TwoDigits(h));
    ComboBox3->addItem(TwoDigits(0));
    for (int mi = 0; mi <= 59; ++mi)
        ComboBox4->addItem(TwoDigits(mi));
    ComboBox4->addItem(TwoDigits(0));
}

void TForm5::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TForm5::FormShow() {
    // A day corrected during an earlier opening must not overwrite the day of this one.
    CorrectedDay = 0;
    const QString r = AnsiToQString(link_.LinkReservationTimeText());
    ComboBox1->setEditText(r.mid(0, 2));
    ComboBox2->setEditText(r.mid(3, 2));
    if (r.mid(8, 1) == QStringLiteral(":")) {
        ComboBox3->setEditText(r.mid(6, 2));
        ComboBox4->setEditText(r.mid(9, 2));
    } else {
        // One-digit hour: "MM/DD h:mm".
        ComboBox3->setEditText(QStringLiteral("0") + r.mid(6, 1));
        ComboBox4->setEditText(r.mid(8, 2));
    }
    ReservationBase = BoxValue();
}

int TForm5::BoxValue() const {
    return BoxNumber(ComboBox1) * 1000000 + BoxNumber(ComboBox2) * 10000 + BoxNumber(ComboBox3) * 100 +
           BoxNumber(ComboBox4);
}

void TForm5::Button1Click() {
    const int month = BoxNumber(ComboBox1), day = BoxNumber(ComboBox2);
    const int hour = BoxNumber(ComboBox3), minute = BoxNumber(ComboBox4);
    const int chosen = month * 1000000 + day * 10000 + hour * 100 + minute;
    Interaction& ui = link_.LinkInteraction();
    // Warnings only: the time is confirmed either way.
    if (chosen < ReservationBase)
        ui.MessageBox(tr("来年の話ですけど、よいですか？"), windowTitle(), Interaction::Icon::Information);
    if (chosen - ReservationBase > kFarAhead)
        ui.MessageBox(tr("ずいぶんさきですけど、よいですか？"), windowTitle(),
                      Interaction::Icon::Information);
    // Written from the numbers: the logger reads the reservation as fixed two-digit fields, so a box
    // left at "9" must still give "09".
    const QString text =
        TwoDigits(month) + "/" + TwoDigits(day) + " " + TwoDigits(hour) + ":" + TwoDigits(minute);
    const bool listAsked = link_.LinkConfirmReservationTime(QStringToAnsi(text));
    hide();
    link_.LinkShowReservationTime();
    if (listAsked) link_.LinkStartModeChange();
}

void TForm5::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslateUi(this);
    QWidget::changeEvent(event);
}

void TForm5::ComboBox2Change() {
    const int month = BoxNumber(ComboBox1);
    const int day = BoxNumber(ComboBox2);
    CorrectedDay = day;
    Interaction& ui = link_.LinkInteraction();
    const QString cannot = tr("その日は指定できません");
    switch (month) {
    case 2:
        if (day == 29) {
            ui.ShowMessage(tr("うるう年ですか？"));
        } else if (day >= 30) {
            ui.ShowMessage(cannot);
            CorrectedDay = 28;
        }
        break;
    case 4:
    case 6:
    case 9:
    case 11:
        if (day == 31) {
            ui.ShowMessage(cannot);
            CorrectedDay = 30;
        }
        break;
    default:
        break;
    }
}

void TForm5::Timer1Timer() {
    if (CorrectedDay == 0) return;
    const QString shown = QString(QChar('0' + (CorrectedDay / 10) % 10)) + QChar('0' + CorrectedDay % 10);
    if (ComboBox2->currentText() != shown) ComboBox2->setEditText(shown);
}

void TForm5::closeEvent(QCloseEvent* event) {
    // Closing confirms nothing: a reservation asked for by the start-mode list is dropped, so the
    // next choice of the list opens this window again instead of sending a time never confirmed.
    link_.LinkDropReservationRequest();
    QWidget::closeEvent(event);
}

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    QComboBox* box = nullptr;
    for (QComboBox* b : {ComboBox1, ComboBox2, ComboBox3, ComboBox4})
        if (watched == b || watched == b->lineEdit()) box = b;
    if (!box) return QWidget::eventFilter(watched, event);
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (typed.isEmpty()) return false; // arrows and other keys that type nothing
    const QChar c = typed.front();
    if (c < QChar('0') || c > QChar('9')) return true;
    // Before the digit goes in, the box is brought back to at most two characters.
    QString text = box->currentText().trimmed();
    if (text.isEmpty()) text = QStringLiteral("00");
    if (text.size() > 2) text = text.left(2);
    // Rewritten only when it changed, so a selection the digit is to replace survives.
    if (text != box->currentText()) box->setEditText(text);
    return false;
}
