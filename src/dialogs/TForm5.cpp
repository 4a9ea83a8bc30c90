// The reservation-time dialog: month, day, hour and minute at which the logger starts recording.
#include "dialogs/TForm5.h"

namespace {
QString TwoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }
} // namespace

TForm5::TForm5(QWidget* parent) : QWidget(parent) {
    setupUi(this);
    setWindowFlag(Qt::Dialog);
    FormCreate();
}

void TForm5::FormCreate() {
    for (int m = 1; m <= 12; ++m) ComboBox1->addItem(TwoDigits(m));
    for (int d = 1; d <= 31; ++d) ComboBox2->addItem(TwoDigits(d));
    // The hour and minute lists end with a second "00", as the form has always offered them.
    for (int h = 0; h <= 23; ++h) ComboBox3->addItem(TwoDigits(h));
    ComboBox3->addItem(TwoDigits(0));
    for (int mi = 0; mi <= 59; ++mi) ComboBox4->addItem(TwoDigits(mi));
    ComboBox4->addItem(TwoDigits(0));
}
