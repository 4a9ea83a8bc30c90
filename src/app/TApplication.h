// The application object: title, and the one place where an exception that escaped a handler is shown.
#pragma once

#include <QApplication>
#include <exception>

class Interaction;

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    // Where escaped exceptions are shown; without one they go to stderr.
    void SetInteraction(Interaction* interaction) { interaction_ = interaction; }

    // Every event goes through here; an exception thrown by a button, label, list, timer or serial
    // handler ends that handler, is shown once in the error box, and the program goes on.
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception in the error box (also used by code that catches on purpose).
    void ShowException(std::exception_ptr error);

private:
    Interaction* interaction_ = nullptr;
};

// The message that the error box shows for an exception.
QString ExceptionMessage(std::exception_ptr error);
