// The device-ID dialog: gives the connected logger a new ID number.
#include "dialogs/TForm3.h"

TForm3::TForm3(const QString& idCaption, QWidget* parent) : QWidget(parent) {
    setupUi(this);
    setWindowFlag(Qt::Dialog);
    Edit1->setText(idCaption);
}
