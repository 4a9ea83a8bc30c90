// The shared step of the ID and wait dialogs: a number typed into a field, sent with its command letter.
#pragma once

#include <QLineEdit>
#include <string>

class MainWindowLink;

// Reads the field (strict; empty = 0; outside 0..maxValue = 0), shows it with `width` digits, then
// sends letter + digits and queues the status request. Does nothing when not connected or while an
// exchange runs; a text that is not a number throws EConvertError before anything changes.
// Returns true when the command was sent.
bool SendNumberedCommand(MainWindowLink& link, QLineEdit& field, char letter, int maxValue, int width);
