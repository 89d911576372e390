// Start-up time: from starting a process to the main window being shown with the project list
// open, on the offscreen platform. The bench starts itself as the program (--child) several
// times and times each run from QProcess::start to the child's "shown" line.
#include "app/AppContext.h"
#include "app/ui/MDITarveon.h"
#include "app/ui/WidgetPrompter.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRuns = 7;
constexpr double kTargetMs = 300.0;

// Missing texts are the language file's business, not start-up's: they are counted, not shown.
class BenchPrompter : public tarveon::WidgetPrompter {
public:
    int missingTexts = 0;
    int msgBox(const QString &text, const QString &heading, tarveon::MsgIcon icon, tarveon::MsgDefault defaultButton,
               tarveon::MsgButtons buttons, const QString &b1, const QString &b2, const QString &b3) override
    {
        if (text.startsWith(QLatin1String("No text found for Key: "))) {
            ++missingTexts;
            return 1;
        }
        return WidgetPrompter::msgBox(text, heading, icon, defaultButton, buttons, b1, b2, b3);
    }
};

// Reports the moment the project list is shown, then closes it.
class ShowWatcher : public QObject {
public:
    BenchPrompter *prompter = nullptr;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("fProject")) {
            std::printf("shown %d\n", prompter->missingTexts);
            std::fflush(stdout);
            if (auto *dialog = qobject_cast<QDialog *>(watched))
                QTimer::singleShot(0, dialog, &QDialog::reject);
        }
        return false;
    }
};

int runChild(int argc, char **argv, const QString &programDir)
{
    QApplication app(argc, argv);
    BenchPrompter prompter;
    tarveon::AppContext ctx(programDir, QStringLiteral("tarveon-config"), &prompter);
    prompter.setContext(&ctx);
    tarveon::MDITarveon window(ctx);
    prompter.setParent(&window);
    ShowWatcher watcher;
    watcher.prompter = &prompter;
    app.installEventFilter(&watcher);
    return window.startUp() ? 0 : 1;
}

bool makeProgramDir(const QString &dir)
{
    const QString bin = QStringLiteral(TARVEON_BIN_DIR);
    if (!QFile::copy(bin + QStringLiteral("/RESOURCES.LNG"), dir + QStringLiteral("/tarveon-config.LNG")))
        return false;
    return QDir().mkpath(dir + QStringLiteral("/TemplatesZDM"));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !makeProgramDir(dir.path())) {
        std::fprintf(stderr, "bench_startup: cannot prepare a program directory (build the project first)\n");
        return 1;
    }
    QList<double> times;
    int missing = 0;
    for (int run = 0; run < kRuns; ++run) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), dir.path()});
        QByteArray line;
        while (!line.contains('\n') && child.waitForReadyRead(10000))
            line += child.readAll();
        const double ms = timer.nsecsElapsed() / 1e6;
        child.waitForFinished(10000);
        if (!line.startsWith("shown")) {
            std::fprintf(stderr, "bench_startup: the project list never opened (exit %d)\n", child.exitCode());
            return 1;
        }
        missing = line.mid(6).trimmed().toInt();
        times << ms;
    }
    std::sort(times.begin(), times.end());
    std::printf("startup: process start to main window with project list open (offscreen), %d runs\n", kRuns);
    std::printf("  median %.1f ms, min %.1f ms, max %.1f ms (target %.0f ms)\n", times[kRuns / 2], times.first(),
                times.last(), kTargetMs);
    if (missing > 0)
        std::printf("  note: %d texts missing from the language file were not shown\n", missing);
    return 0;
}
