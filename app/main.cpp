// Entry point of the kestrel executable: parses the command line, then runs the statements
// headless (--batch) or opens the desktop window and runs them once it is shown.
#include "batch/batchcharacterizer.h"
#include "batch/batchoptions.h"
#include "batch/batchrunner.h"
#include "batch/characterizeoptions.h"
#include "desktop/desktopwindow.h"
#include "host.h"

#include <QApplication>

#include <cstdio>

namespace {

// A window needs a display; without one Qt would abort with a long message.
bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int RunDesktop(QApplication& application, kestrel::Host& host, const kestrel::BatchOptions& options)
{
    kestrel::DesktopWindow* window = kestrel::DesktopWindow::Install(host);
    window->show();
    QApplication::processEvents();
    // The statements run once the window is on screen, so dialogs they open sit over it; a
    // failing statement is shown and the window stays. They run before the event loop rather
    // than from it, so that work they leave queued (a snapshot waits for it) can still run.
    // A "quit" among them is kept for the loop, which then ends at once.
    kestrel::BatchRunner(host).Run(options);
    return application.exec();
}

// --characterize: every file of the inputs in one headless session. The host stays quiet:
// each error it shows belongs to a file's row, and progress has its own lines.
int Characterize(int argc, char* argv[], const QStringList& arguments)
{
    kestrel::CharacterizeOptions options;
    QString error;
    if (!kestrel::CharacterizeOptions::Parse(arguments, &options, &error)) {
        std::fprintf(stderr, "kestrel: %s (kestrel --help shows the usage)\n",
                     qUtf8Printable(error));
        return 2;
    }
    kestrel::BatchRunner::PrepareBatchEnvironment();
    QApplication application(argc, argv);
    kestrel::HostOptions hostOptions;
    hostOptions.writeToStandardStreams = false;
    kestrel::Host host(hostOptions);
    return kestrel::BatchCharacterizer(host).Execute(options);
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (kestrel::CharacterizeOptions::Requested(arguments))
        return Characterize(argc, argv, arguments);
    kestrel::BatchOptions options;
    QString error;
    if (!kestrel::BatchOptions::Parse(arguments, &options, &error)) {
        std::fprintf(stderr, "kestrel: %s\n%s", qUtf8Printable(error),
                     qUtf8Printable(kestrel::BatchOptions::Usage()));
        return 2;
    }
    if (options.help) {
        std::fputs(qUtf8Printable(kestrel::BatchOptions::Usage() + QLatin1Char('\n') +
                                  kestrel::CharacterizeOptions::Usage()),
                   stdout);
        return 0;
    }
    if (options.batch) {
        kestrel::BatchRunner::PrepareBatchEnvironment();
    } else if (!HasDisplay()) {
        std::fputs("kestrel: no display to open a window on (DISPLAY is not set); use --batch "
                   "to run without one\n",
                   stderr);
        return 2;
    }
    QApplication application(argc, argv);
    kestrel::Host host;
    if (options.batch)
        return kestrel::BatchRunner(host).Run(options);
    return RunDesktop(application, host, options);
}
