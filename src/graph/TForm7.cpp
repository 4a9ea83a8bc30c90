// The event list window.
#include "graph/TForm7.h"

#include "graph/GraphPainter.h"

#include <QEvent>
#include <QHeaderView>
#include <QResizeEvent>
#include <cmath>

using namespace vexa;

namespace {

// A cell that sorts by a number kept beside its text (time order, or the value in g).
class NumberItem : public QTableWidgetItem {
  public:
    NumberItem(const QString& text, double key) : QTableWidgetItem(text) {
        setData(Qt::UserRole, key);
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

QString G(double value) {
    return QString::number(value, 'f', 3);
}

} // namespace

TForm7::TForm7(QWidget* parent) : QWidget(parent) {
    setupUi(this);
    setFont(GraphFont());
    ListView1->setColumnCount(kColumns);
    SetHeaderLabels();
    ListView1->verticalHeader()->hide();
    // Rows as tall as the text, so that a screenful holds many events.
    ListView1->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSortingEnabled(true);
    ListView1->sortByColumn(kNumber, Qt::AscendingOrder);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { Button1Click(); });
    connect(ListView1, &QTableWidget::cellClicked, this, [this](int row, int) { ListView1Click(row); });
}

void TForm7::SetSamples(analysis::Samples samples, int countsPerG,
                        std::function<QString(std::size_t)> timeText) {
    samples_ = samples;
    countsPerG_ = countsPerG > 0 ? countsPerG : analysis::kDefaultCountsPerG;
    timeText_ = std::move(timeText);
    threshold_ = analysis::DefaultThreshold(samples_, countsPerG_);
    Edit1->setText(QString::number(threshold_, 'f', 1));
    Button1Click();
}

void TForm7::Button1Click() {
    bool ok = false;
    const double t = Edit1->text().trimmed().toDouble(&ok);
    if (!ok || !(t > 0) || !std::isfinite(t)) {
        thresholdRefused_ = true;
        ShowStatus();
        return;
    }
    thresholdRefused_ = false;
    threshold_ = t;
    events_ = analysis::FindShockEvents(samples_, countsPerG_, threshold_);
    Fill();
}

void TForm7::Fill() {
    // Sorting stays off while rows are filled, or each new cell would move its row.
    const Qt::SortOrder order = ListView1->horizontalHeader()->sortIndicatorOrder();
    const int column = ListView1->horizontalHeader()->sortIndicatorSection();
    ListView1->setSortingEnabled(false);
    ListView1->clearContents();
    ListView1->setRowCount(int(events_.size()));
    const auto text = [this](std::size_t i) { return timeText_ ? timeText_(i) : QString::number(i); };
    for (std::size_t k = 0; k < events_.size(); ++k) {
        const analysis::ShockEvent& e = events_[k];
        const int row = int(k);
        const double timeOrder = double(k); // the events come in the samples' order
        ListView1->setItem(row, kNumber, new NumberItem(QString::number(k + 1), timeOrder));
        ListView1->setItem(row, kStart, new NumberItem(text(e.start), timeOrder));
        ListView1->setItem(row, kEnd, new NumberItem(text(e.end), timeOrder));
        ListView1->setItem(row, kPeakAt, new NumberItem(text(e.peakAt), timeOrder));
        ListView1->setItem(row, kPeak, new NumberItem(G(e.peak), e.peak));
        for (int a = 0; a < 3; ++a)
            ListView1->setItem(row, kX + a,
                               new NumberItem(G(e.axisPeak[std::size_t(a)]), e.axisPeak[std::size_t(a)]));
        ListView1->setItem(row, kSamples, new NumberItem(QString::number(e.samples), double(e.samples)));
        // The event's index, whatever the sort.
        ListView1->item(row, kNumber)->setData(Qt::UserRole + 1, qulonglong(k));
    }
    ListView1->setSortingEnabled(true);
    ListView1->sortByColumn(column, order);
    ListView1->resizeColumnsToContents();
    listed_ = true;
    ShowStatus();
}

void TForm7::SetHeaderLabels() {
    ListView1->setHorizontalHeaderLabels({QStringLiteral("No."), tr("開始"), tr("終了"), tr("ピーク時刻"),
                                          tr("ピーク(g)"), QStringLiteral("X(g)"), QStringLiteral("Y(g)"),
                                          QStringLiteral("Z(g)"), tr("点数")});
}

void TForm7::ShowStatus() {
    if (thresholdRefused_)
        Label2->setText(tr("しきい値は正の数 (g) で入力してください"));
    else if (listed_)
        Label2->setText(tr("イベント %1 件 (しきい値 %2 g, 間隔 %3 ms 未満はひとつ)")
                            .arg(events_.size())
                            .arg(QString::number(threshold_, 'f', 2))
                            .arg(analysis::kDefaultMinGapMs));
}

void TForm7::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        SetHeaderLabels();
        ShowStatus();
    }
    QWidget::changeEvent(event);
}

const analysis::ShockEvent* TForm7::EventOfRow(int row) const {
    const QTableWidgetItem* item = ListView1->item(row, kNumber);
    if (!item) return nullptr;
    const std::size_t k = std::size_t(item->data(Qt::UserRole + 1).toULongLong());
    return k < events_.size() ? &events_[k] : nullptr;
}

void TForm7::ListView1Click(int row) {
    if (const analysis::ShockEvent* e = EventOfRow(row); e && OnCentre) OnCentre(e->peakAt);
}

void TForm7::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ListView1->resize(std::max(100, width() - 20), std::max(60, height() - 50));
}
