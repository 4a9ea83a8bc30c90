// The statistics window: maximum, minimum and mean over the graph's selection, and its RMS and vector peak.
#include "graph/TForm4.h"

#include "graph/TForm2.h"
#include "graph/core/SelectionStatistics.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>

TForm4::TForm4(QWidget* parent) : QWidget(parent), Timer1(new QTimer(this)) {
    setupUi(this);
    setFont(GraphFont());
    move(815, 118);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    // Users paste these figures into their reports.
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this, [this] { CopyToClipboard(); });
}

void TForm4::Timer1Timer() {
    if (!Form2) return;
    const vexa::SelectionStatistics& s = Form2->Stats;
    const int p = Form2->CountsPerG();
    Label1->setText(Form2->SelectionStartText);
    Label2->setText(Form2->SelectionEndText);
    const auto line = [p](const QString& title, int counts) {
        return QString::fromStdString(vexa::StatisticText(title.toStdString(), counts, p));
    };
    Label3->setText(line(tr("●最大値  : "), s.max));
    Label4->setText(line(tr("●最小値  : "), s.min));
    Label7->setText(line(tr("●平均値  : "), s.mean));
    Label5->setText(tr("●データ数  : %1個").arg(s.count));
    // Below the six: the selection's RMS per axis and vector peak in g.
    const vexa::analysis::Statistics& f = Form2->SelectionFigures;
    Label8->setText(QString::fromStdString(vexa::RmsText(f.axes[0].rms, f.axes[1].rms, f.axes[2].rms)));
    QString peak =
        QString::fromStdString(vexa::VectorPeakText(f.vectorMax, Form2->SelectionPeakText.toStdString()));
    peak.replace(QStringLiteral("●|a|最大 : "), tr("●|a|最大 : "));
    Label9->setText(peak);
}

QString TForm4::Text() const {
    QStringList lines;
    for (const QLabel* label : {Label1, Label2, Label7, Label3, Label4, Label5, Label8, Label9})
        lines << label->text();
    return lines.join('\n');
}

void TForm4::CopyToClipboard() {
    QApplication::clipboard()->setText(Text());
}

void TForm4::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(tr("コピー"), this, [this] { CopyToClipboard(); });
    menu.exec(event->globalPos());
}

void TForm4::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        Timer1Timer();
    }
    QWidget::changeEvent(event);
}
