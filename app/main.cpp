// Entry point of the kestrel executable: parses the command line and hands over to the host.
#include "batch/batchoptions.h"
#include "batch/batchrunner.h"
#include "host.h"
#include "ui/uilayouts.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    kestrel::BatchOptions options;
    QString error;
    if (!kestrel::BatchOptions::Parse(arguments, &options, &error)) {
        std::fprintf(stderr, "kestrel: %s\n%s", qUtf8Printable(error),
                     qUtf8Printable(kestrel::BatchOptions::Usage()));
        return 2;
    }
    if (options.help) {
        std::fputs(qUtf8Printable(kestrel::BatchOptions::Usage()), stdout);
        return 0;
    }
    if (options.batch)
        kestrel::BatchRunner::PrepareBatchEnvironment();
    QApplication application(argc, argv);
    kestrel::Host host;
    const int status = kestrel::BatchRunner(host).Run(options);
    if (options.batch || status != 0)
        return status;
    host.GetLayouts().MainWindow()->show();
    return application.exec();
}
