// The wait-option dialog: sends the logger a two-digit wait value.
#pragma once

#include "ui_TForm6.h"

#include <QWidget>

class MainWindowLink;

class TForm6 : public QWidget, public Ui_TForm6 {
    Q_OBJECT
  public:
    explicit TForm6(MainWindowLink& link, QWidget* parent = nullptr);

    void Button1Click();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    MainWindowLink& link_;
};
