#include "app/AppContext.h"
#include "app/ui/AppIcon.h"
#include "app/ui/MDITarveon.h"
#include "app/ui/WidgetPrompter.h"
#include "link/PortNames.h"
#include "link/QtSerialPortImpl.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(tarveon::kAppTitle);
    app.setWindowIcon(tarveon::appIcon());
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    tarveon::WidgetPrompter prompter;
    tarveon::AppContext ctx(exe.absolutePath(), exe.completeBaseName(), &prompter);
    prompter.setContext(&ctx);
    // The link outlives the window that uses it.
    tarveon::SerialLink link(ctx, new tarveon::QtSerialPortImpl);
    link.configurePort(tarveon::resolvePortChoice(app.arguments(), ctx));
    tarveon::MDITarveon window(ctx);
    window.attachLink(link);
    prompter.setParent(&window);
    if (!window.startUp())
        return 0;
    return app.exec();
}
