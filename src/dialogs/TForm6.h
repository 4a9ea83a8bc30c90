// The wait-option dialog: sends the logger a two-digit wait value.
#pragma once

#include "ui_TForm6.h"

#include <QWidget>

class TForm6 : public QWidget, public Ui_TForm6 {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
};
