// The wait-option dialog: sends the logger a two-digit wait value.
#include "dialogs/TForm6.h"

#include "dialogs/NumberedCommand.h"

TForm6::TForm6(MainWindowLink& link, QWidget* parent) : QWidget(parent), link_(link) {
    setupUi(this);
    setWindowFlag(Qt::Dialog);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm6::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslateUi(this);
    QWidget::changeEvent(event);
}

void TForm6::Button1Click() {
    if (SendNumberedCommand(link_, *Edit1, 'w', 99, 2)) hide();
}
