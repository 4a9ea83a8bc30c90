// The statistics window: maximum, minimum and mean over the graph's selection.
#pragma once

#include "ui_TForm4.h"

#include <QWidget>

class TForm4 : public QWidget, public Ui_TForm4 {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);
};
