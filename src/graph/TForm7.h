// The event list: the shock events of the data the graph shows, sortable by time and by peak, with the
// threshold editable; choosing one centres the graph on its peak sample.
#pragma once

#include "analysis/AnalysisSample.h"
#include "analysis/ShockEvents.h"
#include "analysis/Units.h"
#include "ui_TForm7.h"

#include <QWidget>
#include <functional>
#include <vector>

class TForm7 : public QWidget, public Ui_TForm7 {
    Q_OBJECT
  public:
    // Columns of ListView1.
    enum Column { kNumber, kStart, kEnd, kPeakAt, kPeak, kX, kY, kZ, kSamples, kColumns };

    explicit TForm7(QWidget* parent = nullptr);

    // The samples the graph shows (kept by the caller while this window lives), their counts per G,
    // and each one's time as the file writes it. Puts the default threshold into Edit1 and lists.
    void SetSamples(vexa::analysis::Samples samples, int countsPerG,
                    std::function<QString(std::size_t)> timeText);
    // Called with the peak sample's index when the user chooses an event.
    std::function<void(std::size_t)> OnCentre;

    // Reads the threshold from Edit1 and lists the events; a text that is no positive number of g
    // leaves the list as it is and says so in Label2.
    void Button1Click();
    // The event in a row as the list is sorted now.
    const vexa::analysis::ShockEvent* EventOfRow(int row) const;
    void ListView1Click(int row);

    double Threshold() const { return threshold_; }
    const std::vector<vexa::analysis::ShockEvent>& Events() const { return events_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Fill();
    void SetHeaderLabels();
    // Label2: the refusal of the threshold typed last, else what the list holds.
    void ShowStatus();

    vexa::analysis::Samples samples_;
    int countsPerG_ = 10;
    std::function<QString(std::size_t)> timeText_;
    double threshold_ = 0;
    std::vector<vexa::analysis::ShockEvent> events_;
    bool thresholdRefused_ = false;
    bool listed_ = false;
};
