// The application object: title, and the one place where an exception that escaped a handler is shown.
#include "app/TApplication.h"

#include "platform/Interaction.h"

#include <cstdio>
#include <stdexcept>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("V-EXAVIEW"));
}

QString ExceptionMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown exception");
    }
}

void TApplication::ShowException(std::exception_ptr error) {
    const QString message = ExceptionMessage(error);
    if (interaction_) {
        interaction_->ErrorBox(message);
    } else {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return false;
    }
}
