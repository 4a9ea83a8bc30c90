// The device-ID dialog: gives the connected logger a new ID number.
#pragma once

#include "ui_TForm3.h"

#include <QWidget>

class TForm3 : public QWidget, public Ui_TForm3 {
    Q_OBJECT
public:
    // idCaption: the main window's logger ID text at creation.
    explicit TForm3(const QString& idCaption, QWidget* parent = nullptr);
};
