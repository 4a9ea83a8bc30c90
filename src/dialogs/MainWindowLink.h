// What the settings dialogs need from the main window, without the dialogs depending on it.
#pragma once

#include <string>

class Interaction;

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    // A logger is connected and commands may be sent.
    virtual bool LinkCommandsEnabled() const = 0;
    // An exchange with the logger is running (the parser closes the port when it ends).
    virtual bool LinkPortOpen() const = 0;
    // Opens the port if needed and sends the bytes as one write.
    virtual void LinkOpenAndSend(const std::string& bytes) = 0;
    // Stops the periodic tick, so discovery does not close the port before the follow-up has run.
    virtual void LinkStopTimer() = 0;
    // The command the parser sends when the logger's answer ends.
    virtual void LinkSetPendingCommand1(const std::string& command) = 0;

    // Reservation time ("MM/DD hh:mm") and its state (0 none, 1 confirmed, 2 asked for by the start-mode list).
    virtual std::string LinkReservationTimeText() const = 0;
    virtual void LinkSetReservationTimeText(const std::string& text) = 0;
    virtual int LinkReservationState() const = 0;
    virtual void LinkSetReservationState(int state) = 0;
    // Shows the reservation time in the main window.
    virtual void LinkShowReservationTime() = 0;
    // Runs the start-mode list's handler again (sends the reservation command when one is due).
    virtual void LinkStartModeChange() = 0;

    // Message boxes.
    virtual Interaction& LinkInteraction() = 0;
};
