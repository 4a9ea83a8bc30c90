// The graph window: draws a loaded data set as a strip chart.
#include "graph/TForm2.h"

#include "analysis/RecordingFacts.h"
#include "graph/TForm4.h"
#include "graph/TForm7.h"
#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "report/RecordingReport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <algorithm>

using namespace vexa;

TForm2::TForm2(QWidget* parent)
    : QWidget(parent), painter_(GraphFont(), GraphColours::FromPalette(QPalette())) {
    setupUi(this);
    // The list's last item is a single blank (the form tool drops blank texts).
    ComboBox1->setItemText(16, QStringLiteral(" "));
    setFont(GraphFont());
    setAutoFillBackground(false);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(ComboBox1, &QComboBox::textActivated, this, [this] { ComboBox1Change(); });
    connect(ComboBox2, &QComboBox::textActivated, this, [this] { ComboBox2Change(); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3})
        connect(box, &QCheckBox::toggled, this, [this] { CheckBoxClick(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    Edit1->installEventFilter(this);
    ScrollBar1->installEventFilter(this);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    MenuItem1 = PopupMenu1->addAction(QString());
    MenuItem1->setObjectName(QStringLiteral("MenuItem1"));
    MenuItem2 = PopupMenu1->addAction(QString());
    MenuItem2->setObjectName(QStringLiteral("MenuItem2"));
    TranslateMenu();
    connect(MenuItem1, &QAction::triggered, this, [this] { MenuItem1Click(); });
    connect(MenuItem2, &QAction::triggered, this, [this] { MenuItem2Click(); });
    Form7 = new TForm7(this);
    Form7->setWindowFlag(Qt::Window);
    Form7->OnCentre = [this](std::size_t k) { CentreOnSample(Shown().begin + k); };
    FormCreate();
}

int TForm2::CountsPerG() const {
    const int p = source_.countsPerG ? *source_.countsPerG : 10;
    return p > 0 ? p : 10;
}

void TForm2::FormCreate() {
    Button1Click();
    GraphOriginX = 28;
    GraphOriginY = height() / 2;
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3})
        box->setChecked(true);
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm2::FormShow() {
    GraphOriginX = 28;
    GraphOriginY = height() / 2;
    Button1Click();
    Button4Click();
}

void TForm2::Button1Click() {
    Handed = source_.handover ? *source_.handover : vexa::GraphHandover{};
    memoViewStale_ = true;
    FillMemoView();
}

void TForm2::Button4Click() {
    Parsed = FillGraphData(Handed, Data);
    // The event list reads the data shown in place: it is listed afresh before the old data goes.
    shown_.reset();
    SelectionFigures = {};
    if (Form7->isVisible())
        MenuItem1Click();
    else
        Form7->SetSamples({}, CountsPerG(), {});
    Label3->setText(AnsiToQString(Parsed.lastText));
    if (!Parsed.firstText.empty()) Label2->setText(AnsiToQString(Parsed.firstText));
    // The range covers the samples read, also when a line that is no data line stopped the reading.
    const int last = Parsed.HasSamples() ? Parsed.LastSample() : kFirstSample;
    const QSignalBlocker block(ScrollBar1);
    ScrollBar1->setRange(kFirstSample, last);
    ScrollBar1->setValue(Parsed.MiddleSample());
    ScrollBar1->setEnabled(Parsed.HasSamples());
    Label1->setText(QString::number(Parsed.reversals));
    ScrollBar1Change();
    if (!Parsed.error.empty()) ShowError(Parsed.error);
}

std::string TForm2::TimeScaleItemText() const {
    const int i = ComboBox1->currentIndex();
    if (i >= 0 && i < int(TimeScaleItems().size())) return TimeScaleItems()[std::size_t(i)].text;
    return ComboBox1->currentText().toStdString();
}

void TForm2::ComboBox1Change() {
    const TimeScaleChoice choice = ChooseTimeScale(TimeScaleItemText(), Edit8->text().toStdString(), Scale);
    Edit8->setText(QString::fromStdString(choice.divisorText));
    if (!choice.error.empty()) {
        ShowError(choice.error);
        return;
    }
    Scale = choice.scale;
    update();
}

void TForm2::ComboBox2Change() {
    const QString text = ComboBox2->currentText();
    if (text == "X")
        SelectedAxis = 0;
    else if (text == "Y")
        SelectedAxis = 1;
    else if (text == "Z")
        SelectedAxis = 2;
    update();
}

void TForm2::ScrollBar1Change() {
    const int i = ScrollBar1->value();
    Label4->setText(Parsed.HasSamples() ? AnsiToQString(Data.labels[std::size_t(i)].View()) : QString());
    update();
}

void TForm2::CheckBoxClick() {
    update();
}

GraphPaintParams TForm2::PaintParams() const {
    GraphPaintParams p;
    p.originX = GraphOriginX;
    p.originY = GraphOriginY;
    p.width = width();
    p.height = height();
    p.hasSamples = Parsed.HasSamples();
    p.lastSample = Parsed.HasSamples() ? Parsed.LastSample() : kFirstSample;
    p.centre = std::clamp(ScrollBar1->value(), kFirstSample, p.lastSample);
    p.scale = Scale;
    p.selectionWidth = SelectionWidth;
    p.traces = {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked()};
    p.countsPerG = CountsPerG();
    p.previousCentreX = CenterX;
    p.previousCentreY = CenterY;
    return p;
}

QImage TForm2::RenderGraph(StrokeMode mode) {
    QImage image(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    ApplyPaintResult(painter_.Paint(image, Data, PaintParams(), mode));
    return image;
}

void TForm2::paintEvent(QPaintEvent*) {
    if (picture_.size() != size())
        picture_ = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    const GraphPaintResult r = painter_.Paint(picture_, Data, PaintParams(), Mode);
    QPainter(this).drawImage(0, 0, picture_);
    ApplyPaintResult(r);
}

void TForm2::ApplyPaintResult(const GraphPaintResult& r) {
    Label5->setText(source_.dataFileName ? AnsiToQString(*source_.dataFileName) : QString());
    CenterX = r.centreX;
    CenterY = r.centreY;
    CheckBox1->move(r.checkBoxPositions[0]);
    CheckBox2->move(r.checkBoxPositions[1]);
    CheckBox3->move(r.checkBoxPositions[2]);
    Label4->move(r.label4Position);
    if (!r.walked) return;
    if (r.walk.selectionEnd != 0) {
        SelectionStart = r.walk.selectionStart;
        SelectionEnd = r.walk.selectionEnd;
        selectionEndLabel_ = AnsiToQString(Data.labels[std::size_t(SelectionEnd)].View());
        SelectionEndText = tr("終了:") + selectionEndLabel_;
    } else {
        SelectionEnd = 0;
    }
    setWindowTitle(QString::fromStdString(GraphCaption(r.walk.start, r.walk.end)));
    if (SelectionWidth > 0) {
        UpdateSelectionStatistics(Data, SelectionStart, SelectionEnd, SelectedAxis,
                                  Edit1->text().toStdString(), Stats);
        UpdateSelectionFigures();
    }
}

void TForm2::UpdateSelectionFigures() {
    if (SelectionEnd <= SelectionStart) return;
    const ShownSamples& shown = Shown();
    const auto [from, to] = shown.SamplesOfLines(SelectionStart, SelectionEnd);
    if (from == to) return;
    const int p = CountsPerG();
    const analysis::Statistics& had = SelectionFigures;
    if (had.samples == to - from && had.first == from && had.countsPerG == p) return; // as the last paint
    SelectionFigures = analysis::ComputeStatistics(shown.recording->Samples(), p, from, to);
    const int line = shown.GraphLineOfSample(SelectionFigures.vectorMaxAt);
    // The time of day: the start and end lines above carry the date.
    SelectionPeakText = AnsiToQString(Data.labels[std::size_t(line)].View().substr(6));
}

const ShownSamples& TForm2::Shown() {
    if (!shown_) {
        const int last = Parsed.HasSamples() ? Parsed.LastSample() : kFirstSample - 1;
        shown_ = ShownSamplesOf(Handed, kFirstSample, last);
    }
    return *shown_;
}

void TForm2::CentreOnSample(std::size_t k) {
    const ShownSamples& shown = Shown();
    if (k < shown.begin || k >= shown.end) return;
    ScrollBar1->setValue(shown.GraphLineOfSample(k));
    raise();
}

void TForm2::contextMenuEvent(QContextMenuEvent* event) {
    MenuItem1->setEnabled(Parsed.HasSamples());
    MenuItem2->setEnabled(Parsed.HasSamples());
    PopupMenu1->popup(event->globalPos());
}

void TForm2::MenuItem1Click() {
    const ShownSamples& shown = Shown();
    const Recording* recording = shown.recording.get();
    const std::size_t begin = shown.begin;
    Form7->SetSamples(analysis::Samples(recording->Samples()).subspan(begin, shown.Count()), CountsPerG(),
                      [recording, begin](std::size_t k) {
                          return AnsiToQString(analysis::SampleTimeText(*recording, begin + k));
                      });
    Form7->show();
    Form7->raise();
    Form7->activateWindow();
}

void TForm2::MenuItem2Click() {
    if (!interaction_ || !Parsed.HasSamples()) return;
    const QString name = source_.dataFileName ? AnsiToQString(*source_.dataFileName) : QString();
    const QFileInfo data(name);
    Interaction::FileDialogOptions options;
    options.title = tr("レポート (PDF)");
    const QString proposed =
        (data.completeBaseName().isEmpty() ? QStringLiteral("report") : data.completeBaseName()) +
        QStringLiteral(".pdf");
    options.proposedName = data.isAbsolute() ? data.dir().filePath(proposed) : proposed;
    options.filter = QStringLiteral("PDF|*.pdf");
    options.defaultSuffix = QStringLiteral("pdf");
    options.overwritePrompt = true;
    const std::optional<QString> path = interaction_->SaveFileName(options);
    if (!path) return;

    const ShownSamples& shown = Shown();
    report::ReportRequest request = report::ReportRequestFor(*shown.recording, name, shown.begin, shown.end);
    // The figures the graph and the event list show: their counts per G, the list's threshold.
    request.countsPerG = CountsPerG();
    request.countsPerGFromHeader = shown.recording->header.countsPerG == CountsPerG();
    // The list's threshold when the user set one; otherwise the report says it is the default.
    if (Form7->isVisible() &&
        Form7->Threshold() != analysis::DefaultThreshold(request.samples, request.countsPerG))
        request.threshold = Form7->Threshold();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const report::ReportOutcome outcome = report::WriteReportFile(request, *path);
    QApplication::restoreOverrideCursor();
    if (!outcome.ok)
        interaction_->MessageBox(tr("レポートを書けませんでした。\n%1\n%2").arg(*path, outcome.error),
                                 tr("レポート (PDF)"), Interaction::Icon::Error);
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FillMemoView();
}

// The hidden copy of the lines is put into the text box only once an enlarged window can show it.
void TForm2::FillMemoView() {
    if (!memoViewStale_ || !rect().intersects(Memo1->geometry())) return;
    QStringList text;
    text.reserve(qsizetype(Handed.LineCount()));
    for (const std::uint32_t line : Handed.lines)
        text << AnsiToQString(Handed.recording->Line(line));
    Memo1->setPlainText(text.join('\n'));
    memoViewStale_ = false;
}

void TForm2::ShowError(const std::string& text) {
    LastError = text;
    if (interaction_) interaction_->ErrorBox(QString::fromStdString(text));
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    FormMouseDown(event->position().toPoint().x());
    QWidget::mousePressEvent(event);
}

void TForm2::FormMouseDown(int pressX) {
    SelectionWidth = pressX - CenterX;
    if (SelectionWidth <= 0) {
        SelectionWidth = 0;
        if (Form4) Form4->hide();
    }
    if (SelectionWidth > 0 && Form4) {
        const int screenHeight =
            ScreenHeight > 0 ? ScreenHeight : (screen() ? screen()->geometry().height() : 1024);
        const QPoint at = screenHeight < 760 ? QPoint(x() + width() / 6, y() + 10)
                                             : QPoint(x() + width() / 3, y() - Form4->height() + 20);
        Form4->move(at);
        Form4->show();
        Form4->raise();
    }
    selectionStartLabel_ = Label4->text();
    SelectionStartText = tr("開始:") + selectionStartLabel_;
    update();
}

void TForm2::Edit1DblClick() {
    Edit1->setText(QStringLiteral("VOID"));
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::MouseButtonDblClick) {
        Edit1DblClick();
        return true;
    }
    if (watched == ScrollBar1 && event->type() == QEvent::KeyPress) {
        // A Qt scroll bar inverts its controls so that the wheel and the page keys move the way a page
        // scrolls; that turns the left and right arrows round as well. Time runs to the right: Right is
        // one sample later, Left one earlier. Everything else keeps the scroll bar's own handling.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Right || key == Qt::Key_Left) {
            ScrollBar1->triggerAction(key == Qt::Key_Right ? QAbstractSlider::SliderSingleStepAdd
                                                           : QAbstractSlider::SliderSingleStepSub);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (Form4) Form4->close();
    Form7->close();
    QWidget::closeEvent(event);
}

// The right-click menu is built in code, so a language switch names its entries here.
void TForm2::TranslateMenu() {
    MenuItem1->setText(tr("イベント一覧"));
    MenuItem2->setText(tr("レポート (PDF)..."));
}

void TForm2::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        TranslateMenu();
        ComboBox1->setItemText(16, QStringLiteral(" "));
        if (!SelectionStartText.isEmpty()) SelectionStartText = tr("開始:") + selectionStartLabel_;
        if (!SelectionEndText.isEmpty()) SelectionEndText = tr("終了:") + selectionEndLabel_;
        // The statistics window shows these texts; it may have followed the switch before this window.
        if (Form4) Form4->Timer1Timer();
        update();
    }
    QWidget::changeEvent(event);
}

void TForm2::Button2Click() {
    QPrinter printer(QPrinter::HighResolution);
    if (!interaction_ || !interaction_->PrintDialog(printer)) return;
    // The window as it looks, without the print button, at its size in inches: one window pixel is one
    // 96th of an inch on paper.
    Button2->hide();
    const QImage shot = grab().toImage();
    QPainter painter;
    const bool started = painter.begin(&printer);
    if (started) {
        painter.scale(printer.logicalDpiX() / 96.0, printer.logicalDpiY() / 96.0);
        painter.drawImage(0, 0, shot);
        painter.end();
    }
    Button2->show();
    if (!started) ShowError("The printer could not be started; nothing was printed.");
}
