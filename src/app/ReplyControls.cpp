// Which control shows which part of a status reply: the one place where replies meet widgets.
#include "app/TForm1.h"

#include "app/MainWindowLanguage.h"
#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/ShownTexts.h"

#include <QScopedValueRollback>

void TForm1::StatusReplyReceived(const vexa::StatusReply& reply) {
    // The session has already taken what the link itself keeps (counts per G, interval, sampling,
    // record count, start year); the texts go into their controls, then the replies that do more.
    for (const vexa::ShownText& shown : vexa::ShownTexts(reply))
        ShowText(shown);
    if (const auto* count = std::get_if<vexa::CountReply>(&reply)) ApplyCountReply(*count);
    if (std::holds_alternative<vexa::ThresholdDetectReply>(reply)) {
        // The session has taken the logger's report (and, where it differs from what the logger was
        // told, queued the command that tells it again): the box shows the result without running
        // its click handler.
        CheckBox2->setFocus();
        QScopedValueRollback busy(checkBox2Busy_, true);
        CheckBox2->setChecked(State.ThresholdDetectOn == 1);
        Edit12->setText(QString::number(State.ThresholdDetectOn));
    }
}

void TForm1::ShowText(const vexa::ShownText& shown) {
    using vexa::Shown;
    const QString text = shown.wire ? AnsiToQString(shown.text) : QString::fromStdString(shown.text);
    switch (shown.what) {
    case Shown::Firmware:
        Label41->setText(text);
        break;
    case Shown::LoggerId:
        Label18->setText(text);
        break;
    case Shown::Buzzer:
        Label19->setText(text);
        break;
    case Shown::Interval:
        ComboBox2->setEditText(text);
        break;
    case Shown::Sampling:
        ComboBox3->setEditText(text);
        break;
    case Shown::StartMode:
        ComboBox4->setEditText(ShownStartMode(text));
        break;
    case Shown::Range:
        ComboBox5->setEditText(text);
        break;
    case Shown::Threshold:
        ComboBox1->setEditText(text);
        break;
    case Shown::StartYear:
        Label15->setText(text);
        break;
    case Shown::RecordCount:
        Label13->setText(text);
        break;
    case Shown::MemorySize:
        Label39->setText(text);
        break;
    case Shown::Title:
        Label33->setText(text);
        break;
    case Shown::HazardLevel:
        Edit1->setText(text);
        break;
    case Shown::Gravity:
        Edit2->setText(text);
        break;
    case Shown::Endless:
        Edit6->setText(text);
        break;
    case Shown::HundredHz:
        Edit7->setText(text);
        break;
    case Shown::Display:
        Edit8->setText(text);
        break;
    case Shown::Df:
        Edit11->setText(text);
        break;
    case Shown::FineX:
        Edit20->setText(text);
        break;
    case Shown::FineY:
        Edit16->setText(text);
        break;
    case Shown::FineZ:
        Edit17->setText(text);
        break;
    case Shown::IdText:
        Edit21->setText(text);
        break;
    case Shown::LValue:
        Edit14->setText(text);
        break;
    case Shown::RecValue:
        Edit15->setText(text);
        break;
    case Shown::StartSetting:
        Label31->setText(text);
        break;
    }
}

void TForm1::ApplyCountReply(const vexa::CountReply& r) {
    if (r.negative)
        UI().ShowMessage(MessageText(vexa::BadCountMessage));
    ProgressBar1->setRange(0, r.recordCount);
    ProgressBar1->setValue(0);
}
