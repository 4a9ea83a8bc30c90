// The device-ID dialog: gives the connected logger a new ID number.
#include "dialogs/TForm3.h"

#include "dialogs/NumberedCommand.h"

#include <QKeyEvent>

TForm3::TForm3(MainWindowLink& link, const QString& idCaption, QWidget* parent)
    : QWidget(parent), link_(link) {
    setupUi(this);
    setWindowFlag(Qt::Dialog);
    Edit1->setText(idCaption);
    Edit1->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TForm3::FormShow() {
    Edit1->setFocus();
}

void TForm3::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslateUi(this);
    QWidget::changeEvent(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // Only digits and backspace can be typed; keys that type nothing (arrows, Delete) keep working.
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (!typed.isEmpty()) {
            const QChar c = typed.front();
            const bool allowed = c == QChar('\b') || (c >= QChar('0') && c <= QChar('9'));
            if (!allowed) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm3::Button1Click() {
    if (SendNumberedCommand(link_, *Edit1, 'Y', 255, 3)) hide();
}
