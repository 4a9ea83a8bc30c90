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
                Edit1->setText(Q(r.edit1));
                Edit2->setText(Q(r.edit2));
                Edit6->setText(Q(r.edit6));
            },
            [this](const vexa::AdjustReply& r) {
                Edit7->setText(Q(r.edit7));
                Edit8->setText(Q(r.edit8));
                Edit11->setText(Q(r.edit11));
            },
            [this](const vexa::FineAdjustReply& r) {
                Edit20->setText(Q(r.edit20));
                Edit16->setText(Q(r.edit16));
                Edit17->setText(Q(r.edit17));
            },
            [this](const vexa::BuzzerReply& r) { Label19->setText(QString::fromStdString(r.label19())); },
            [this](const vexa::CountReply& r) { ApplyCountReply(r); },
            [this](const vexa::ThresholdReply& r) { ComboBox1->setEditText(Q(r.comboBox1)); },
            [this](const vexa::TitleReply& r) { Label33->setText(Q(r.label33)); },
            [this](const vexa::TitleRangeReply& r) {
                if (r.countsPerGIs2) ComboBox5->setEditText(QStringLiteral("50"));
                Label33->setText(Q(r.label33));
            },
            [this](const vexa::SamplingReply& r) {
                ComboBox3->setEditText(QString::fromStdString(r.sampling.text));
            },
            [this](const vexa::IdTextReply& r) { Edit21->setText(Q(r.edit21)); },
            [this](const vexa::LReply& r) { Edit14->setText(Q(r.edit14)); },
            [this](const vexa::LoggerIdReply& r) { Label18->setText(Q(r.label18)); },
            [this](const vexa::IntervalReply& r) {
                ComboBox2->setEditText(QString::fromStdString(r.intervalName));
            },
            [this](const vexa::RecReply& r) { Edit15->setText(Q(r.edit15)); },
            [this](const vexa::StartModeReply& r) {
                ComboBox4->setEditText(QString::fromStdString(r.comboBox4));
            },
            [this](const vexa::RangeReply& r) {
                if (r.range) ComboBox5->setEditText(QString::fromStdString(r.range->rangeText));
            },
            [this](const vexa::ThresholdDetectReply& r) {
                CheckBox2->setFocus();
                // A change of the box runs its click handler while ThresholdDetectOn still holds the
                // old state (connected to the box's toggled signal).
                if (CheckBox2->isChecked() != r.checked) CheckBox2->setChecked(r.checked);
                State.ThresholdDetectOn = CheckBox2->isChecked() ? 1 : 0;
                Edit12->setText(QString::number(State.ThresholdDetectOn));
            },
            [this](const vexa::StartSettingReply& r) { Label31->setText(Q(r.label31)); },
            [this](const vexa::StartYearReply& r) { Label15->setText(Q(r.label15)); },
        },
        reply);
}

void TForm1::ApplyCountReply(const vexa::CountReply& r) {
    Label13->setText(Q(r.label13));
    Label39->setText(Q(r.label39));
    if (r.negative)
        UI().ShowMessage(
            QString::fromUtf8(vexa::BadCountMessage.data(), qsizetype(vexa::BadCountMessage.size())));
    ProgressBar1->setRange(0, r.recordCount);
    ProgressBar1->setValue(0);
}
