// The graph window: draws a loaded data set as a strip chart.
#include "graph/TForm2.h"

TForm2::TForm2(QWidget* parent) : QWidget(parent) { setupUi(this); }
