// The wait-option dialog: sends the logger a two-digit wait value.
#include "dialogs/TForm6.h"

TForm6::TForm6(QWidget* parent) : QWidget(parent) {
    setupUi(this);
    setWindowFlag(Qt::Dialog);
}
