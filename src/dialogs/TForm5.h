// The reservation-time dialog: month, day, hour and minute at which the logger starts recording.
#pragma once

#include "ui_TForm5.h"

#include <QWidget>

class TForm5 : public QWidget, public Ui_TForm5 {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    void FormCreate();
};
