#include "app/AppContext.h"
#include "app/ui/WidgetPrompter.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tarveon::WidgetPrompter prompter;
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    tarveon::AppContext ctx(exe.absolutePath(), exe.completeBaseName(), &prompter);
    prompter.setContext(&ctx);
    ctx.InitProtocols();
    if (!ctx.language.LoadLanguage())
        return 1;
    QMainWindow window;
    window.setWindowTitle(tarveon::kAppTitle);
    window.show();
    return app.exec();
}
