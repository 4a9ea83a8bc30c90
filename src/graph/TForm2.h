// The graph window: draws a loaded data set as a strip chart.
#pragma once

#include "ui_TForm2.h"

#include <QWidget>

class TForm2 : public QWidget, public Ui_TForm2 {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};
