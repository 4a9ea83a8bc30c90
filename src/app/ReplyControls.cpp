// Which control shows which part of a status reply: the one place where replies meet widgets.
#include "app/TForm1.h"

#include "platform/Interaction.h"
#include "platform/TextCodec.h"

namespace {
template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

QString Q(const std::string& bytes) {
    return AnsiToQString(bytes);
}
} // namespace

void TForm1::StatusReplyReceived(const vexa::StatusReply& reply) {
    // The session has already taken what the link itself keeps (counts per G, interval, sampling,
    // record count, start year); here the values go into their controls.
    std::visit(
        Overloaded{
            [](const vexa::IgnoredReply&) {},
            [this](const vexa::AdjustReplyH& r) {
                Edit1->setText(Q(r.level));
                Edit2->setText(Q(r.gravity));
                Edit6->setText(Q(r.endless));
            },
            [this](const vexa::AdjustReply& r) {
                Edit7->setText(Q(r.hundredHz));
                Edit8->setText(Q(r.display));
                Edit11->setText(Q(r.df));
            },
            [this](const vexa::FineAdjustReply& r) {
                Edit20->setText(Q(r.x));
                Edit16->setText(Q(r.y));
                Edit17->setText(Q(r.z));
            },
            [this](const vexa::BuzzerReply& r) { Label19->setText(QString::fromStdString(r.stateText())); },
            [this](const vexa::CountReply& r) { ApplyCountReply(r); },
            [this](const vexa::ThresholdReply& r) { ComboBox1->setEditText(Q(r.threshold)); },
            [this](const vexa::TitleReply& r) { Label33->setText(Q(r.text)); },
            [this](const vexa::TitleRangeReply& r) {
                if (r.countsPerGIs2) ComboBox5->setEditText(QStringLiteral("50"));
                Label33->setText(Q(r.text));
            },
            [this](const vexa::SamplingReply& r) {
                ComboBox3->setEditText(QString::fromStdString(r.sampling.text));
            },
            [this](const vexa::IdTextReply& r) { Edit21->setText(Q(r.idText)); },
            [this](const vexa::LReply& r) { Edit14->setText(Q(r.lValue)); },
            [this](const vexa::LoggerIdReply& r) { Label18->setText(Q(r.loggerId)); },
            [this](const vexa::IntervalReply& r) {
                ComboBox2->setEditText(QString::fromStdString(r.intervalName));
            },
            [this](const vexa::RecReply& r) { Edit15->setText(Q(r.recValue)); },
            [this](const vexa::StartModeReply& r) {
                ComboBox4->setEditText(QString::fromStdString(r.startMode));
            },
            [this](const vexa::RangeReply& r) {
                if (r.range) ComboBox5->setEditText(QString::fromStdString(r.range->rangeText));
            },
            [this](const vexa::ThresholdDetectReply& r) {
                CheckBox2->setFocus();
                // A change of the box runs its click handler while ThresholdDetectOn still holds the
                // old state (connected to the box's toggled signal).
                if (CheckBox2->isChecked() != r.detectOn) CheckBox2->setChecked(r.detectOn);
                State.ThresholdDetectOn = CheckBox2->isChecked() ? 1 : 0;
                Edit12->setText(QString::number(State.ThresholdDetectOn));
            },
            [this](const vexa::StartSettingReply& r) { Label31->setText(Q(r.startSetting)); },
            [this](const vexa::StartYearReply& r) { Label15->setText(Q(r.year)); },
        },
        reply);
}

void TForm1::ApplyCountReply(const vexa::CountReply& r) {
    Label13->setText(Q(r.countText));
    Label39->setText(Q(r.afterCountText));
    if (r.negative)
        UI().ShowMessage(
            QString::fromUtf8(vexa::BadCountMessage.data(), qsizetype(vexa::BadCountMessage.size())));
    ProgressBar1->setRange(0, r.recordCount);
    ProgressBar1->setValue(0);
}
