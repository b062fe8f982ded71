#include "cli/ArgumentPaths.h"
#include "cli/CliCommand.h"
#include "cli/ConsoleDevice.h"
#include "foundation/ErrorDetail.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The tool's own output is its report; Qt's notes about the desktop session are noise here.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    fprintf(stderr, "%s\n", qPrintable(message));
}

// Only a command that draws text starts the GUI library (offscreen: no window is ever shown), for
// its fonts. The others need no application object at all: they run no event loop, and making one
// (with its event dispatcher) costs a millisecond.
std::unique_ptr<QCoreApplication> applicationFor(const CliCommand::Invocation& invocation, int& argc, char** argv)
{
    if (!CliCommand::drawsText(invocation))
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

// A command lives for a moment and works on a few picture-sized buffers, and on a virtual machine
// the first touch of a fresh page costs about as much as the work then done on it. So the heap
// grows once, by enough for a screen-sized picture's buffers, and asks for huge pages there: one
// fault per 2 MB instead of one per 4 KB, where the system grants them (a hint; refused is fine).
// Freed buffers are kept for the next rather than handed back, and helper threads share the heap,
// so what one frees another reuses. Only very large pictures get memory of their own.
void* volatile belowHugePages = nullptr; // volatile: the allocation is not optimised away

void prepareHeap()
{
    constexpr size_t reserve = 30 << 20, hugePage = 2 << 20;
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    const auto before = reinterpret_cast<uintptr_t>(sbrk(0));
    // Growing the heap writes only this block's header, below `before`, and the header of the free
    // space after it: the span in between is untouched, so it can still get huge pages.
    void* volatile block = std::malloc(reserve); // volatile: the pair is not optimised away
    if (!block)
        return;
    const auto start = reinterpret_cast<uintptr_t>(block);
    std::free(block);
    const uintptr_t first = (before + hugePage - 1) & ~(hugePage - 1), last = (start + reserve) & ~(hugePage - 1);
    const bool grewInPlace = start < before && reinterpret_cast<uintptr_t>(sbrk(0)) >= start + reserve;
    if (!grewInPlace || last <= first)
        return; // another allocator, or no room to grow
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    // The free space now starts below `first`, on small pages: the first buffers would land there.
    // This block, never touched nor freed, keeps them out.
    if (first - start > 64)
        belowHugePages = std::malloc(first - start - 32);
}

} // namespace

int main(int argc, char** argv)
{
    prepareHeap();
    qInstallMessageHandler(quietHandler);
    setErrorDetailRename(&ReadablePath::namedAsGiven);
    const CliCommand::Invocation invocation = CliCommand::read(ArgumentPaths::decode(argc, argv));
    const std::unique_ptr<QCoreApplication> app = applicationFor(invocation, argc, argv);
    ConsoleDevice standardOutput(STDOUT_FILENO);
    ConsoleDevice standardError(STDERR_FILENO);
    QTextStream out;
    QTextStream err;
    standardOutput.attach(out);
    standardError.attach(err);
    // The folder of the running program, as the application object would report it.
    const QString programFolder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    CliCommand command(out, err, programFolder + QLatin1Char('/'), isatty(fileno(stderr)));
    const int status = command.run(invocation);
    // Every file is complete by now. Tearing the GUI application down would start the font
    // library only to close it again (Qt's font database asks it for its configuration on the
    // way out), which costs more than a whole save when no text was drawn: end here instead.
    out.flush();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
