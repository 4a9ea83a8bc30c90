// The reservation-time dialog: month, day, hour and minute at which the logger starts recording.
#pragma once

#include "ui_TForm5.h"

#include <QTimer>
#include <QWidget>

class MainWindowLink;

class TForm5 : public QWidget, public Ui_TForm5 {
    Q_OBJECT
  public:
    explicit TForm5(MainWindowLink& link, QWidget* parent = nullptr);
    void FormCreate();
    void FormShow();
    void Button1Click();
    void ComboBox2Change();
    void Timer1Timer();

    // Rewrites the day box with the corrected day once a second.
    QTimer* Timer1;

    // month * 1,000,000 + day * 10,000 + hour * 100 + minute of the time shown at the last opening.
    int ReservationBase = 0;
    // The day last entered or corrected; 0 = none.
    int CorrectedDay = 0;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The four boxes read as month-day-hour-minute numbers (strict conversions).
    int BoxValue() const;
    MainWindowLink& link_;
};
