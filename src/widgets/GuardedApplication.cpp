#include "widgets/GuardedApplication.h"

#include "foundation/ErrorDetail.h"
#include "foundation/HandlerGuard.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        report(std::current_exception());
        return false;
    }
}

void GuardedApplication::report(std::exception_ptr error)
{
    if (prompts_) {
        reportEscapedError(*prompts_, error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        writeErrorDetail(QStringLiteral("an event handler failed: ") + QString::fromUtf8(e.what()));
    } catch (...) {
        writeErrorDetail(QStringLiteral("an event handler failed"));
    }
}
