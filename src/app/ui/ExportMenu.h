#pragma once
#include "tools/KnxExport.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace tarveon {

class AppContext;

// File > Export of the main window: the open project's group addresses for ETS (CSV 3/1, CSV 1/1
// or XML, chosen by the file type) and its Home Assistant configuration. The entries are enabled
// while a project with a configuration is open; what they write comes from ExportProject.
class ExportMenu : public QObject {
    Q_OBJECT
public:
    // Appends the submenu (object name "mnuAExport") to fileMenu.
    ExportMenu(AppContext &ctx, QMenu *fileMenu, QWidget *window);

    QMenu *mnuAExport;
    QAction *mnuAExportEts;
    QAction *mnuAExportHa;

    // Asks where to write: the file and the chosen entry of `filters`; an empty path cancels.
    // A save dialog unless replaced.
    std::function<QString(const QString &caption, const QString &suggested, const QStringList &filters, int *filter)>
        chooseFile;

    void exportEts();
    void exportHomeAssistant();

private:
    void update();
    void run(const QString &caption, const QStringList &filters, const QVector<ExportFormat> &formats,
             const QStringList &suffixes);

    AppContext &m_ctx;
    QWidget *m_window;
};

} // namespace tarveon
