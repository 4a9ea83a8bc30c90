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
    // Sends a command once no exchange runs, and followUp when the logger's answer to it ends; the
    // periodic tick stays off until then. False when it was not sent.
    virtual bool LinkSendCommand(const std::string& bytes, const std::string& followUp) = 0;

    // Reservation time ("MM/DD hh:mm") and its state (0 none, 1 confirmed, 2 asked for by the start-mode list).
    virtual std::string LinkReservationTimeText() const = 0;
    virtual int LinkReservationState() const = 0;
    // A time was confirmed: it becomes the reservation time. True when the start-mode list had asked
    // for it (then LinkStartModeChange sends it).
    virtual bool LinkConfirmReservationTime(const std::string& text) = 0;
    // The window was closed without a time: the start-mode list's request is dropped.
    virtual void LinkDropReservationRequest() = 0;
    // Shows the reservation time in the main window.
    virtual void LinkShowReservationTime() = 0;
    // Runs the start-mode list's handler again (sends the reservation command when one is due).
    virtual void LinkStartModeChange() = 0;

    // Message boxes.
    virtual Interaction& LinkInteraction() = 0;
};
