// The statistics window: maximum, minimum and mean over the graph's selection.
#include "graph/TForm4.h"

TForm4::TForm4(QWidget* parent) : QWidget(parent) {
    setupUi(this);
    move(815, 118);
}
