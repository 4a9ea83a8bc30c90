// The statistics window: maximum, minimum and mean over the graph's selection, and its RMS and vector peak.
#pragma once

#include "ui_TForm4.h"

#include <QTimer>
#include <QWidget>

class TForm2;

class TForm4 : public QWidget, public Ui_TForm4 {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);

    // The graph window whose selection this window reports.
    void SetGraphWindow(const TForm2* form2) { Form2 = form2; }
    const TForm2* Form2 = nullptr;

    // Runs every 500 ms from start-up, shown or not: writes the six lines from the graph's values, and
    // below them the RMS per axis and the vector peak (Label8, Label9).
    QTimer* Timer1;
    void Timer1Timer();
    // The eight lines top to bottom as plain text, for the clipboard ("コピー", Ctrl+C).
    QString Text() const;
    void CopyToClipboard();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
};
