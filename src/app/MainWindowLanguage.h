// The main window's texts across a language switch.
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

class TForm1;

// On a language switch the window's captions are set again from its form in the new language; the
// captions its handlers change with the link's state (the connect button, the monitor button, the
// start mode shown) keep the state they show.
void FollowLanguageChanges(TForm1& form);

// The start-mode list's entries in the current language: start now, Sleep, reserved start.
QStringList StartModeItems();
// A start mode the logger reported ("開始", "Sleep") as the list shows it in the current language.
QString ShownStartMode(const QString& reported);
// The Japanese text the start-mode handler acts on, for an entry or report shown in either language;
// any other text (one typed by hand) comes back as it is.
QString StartModeSource(const QString& shown);

// A message the protocol or session layers define (in the window's source language), in the current
// language.
QString MessageText(std::string_view message);
