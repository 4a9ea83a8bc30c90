// The shared step of the ID and wait dialogs: a number typed into a field, sent with its command letter.
#include "dialogs/NumberedCommand.h"

#include "dialogs/MainWindowLink.h"
#include "platform/TextCodec.h"
#include "protocol/IntegerConversion.h"

bool SendNumberedCommand(MainWindowLink& link, QLineEdit& field, char letter, int maxValue, int width) {
    if (!link.LinkCommandsEnabled() || link.LinkPortOpen()) return false;
    const std::string text = QStringToAnsi(field.text());
    int n = text.empty() ? 0 : vexa::StrictToInt(text);
    if (n < 0 || n > maxValue) n = 0;
    field.setText(QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0')));
    field.repaint();
    // The logger's answer is followed by a status request, so the window shows the new value.
    return link.LinkSendCommand(std::string(1, letter) + QStringToAnsi(field.text()), "p");
}
