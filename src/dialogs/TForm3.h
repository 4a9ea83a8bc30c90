// The device-ID dialog: gives the connected logger a new ID number.
#pragma once

#include "ui_TForm3.h"

#include <QWidget>

class MainWindowLink;

class TForm3 : public QWidget, public Ui_TForm3 {
    Q_OBJECT
  public:
    // idCaption: the main window's logger ID text at creation.
    TForm3(MainWindowLink& link, const QString& idCaption, QWidget* parent = nullptr);

    void FormShow();
    void Button1Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainWindowLink& link_;
};
