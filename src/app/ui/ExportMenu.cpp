#include "app/ui/ExportMenu.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "app/Startup.h"
#include "model/Generate.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>

namespace tarveon {

ExportMenu::ExportMenu(AppContext &ctx, QMenu *fileMenu, QWidget *window)
    : QObject(window), m_ctx(ctx), m_window(window)
{
    setObjectName(QStringLiteral("ExportMenu"));
    mnuAExport = fileMenu->addMenu(QString());
    mnuAExport->setObjectName(QStringLiteral("mnuAExport"));
    mnuAExport->menuAction()->setObjectName(QStringLiteral("mnuAExport"));
    mnuAExportEts = mnuAExport->addAction(QString());
    mnuAExportEts->setObjectName(QStringLiteral("mnuAExportEts"));
    mnuAExportHa = mnuAExport->addAction(QString());
    mnuAExportHa->setObjectName(QStringLiteral("mnuAExportHa"));
    connect(mnuAExportEts, &QAction::triggered, this, &ExportMenu::exportEts);
    connect(mnuAExportHa, &QAction::triggered, this, &ExportMenu::exportHomeAssistant);
    // Captions and state are those of the moment the File menu opens: the window is made before
    // the language file is read.
    connect(fileMenu, &QMenu::aboutToShow, this, &ExportMenu::update);

    chooseFile = [this](const QString &caption, const QString &suggested, const QStringList &filters, int *filter) {
        QString selected = filters.value(0);
        const QString path = QFileDialog::getSaveFileName(m_window, caption, suggested,
                                                          filters.join(QStringLiteral(";;")), &selected);
        *filter = qMax(0, int(filters.indexOf(selected)));
        return path;
    };
}

void ExportMenu::update()
{
    mnuAExport->setTitle(m_ctx.GetText(QStringLiteral("KNX40")));
    mnuAExportEts->setText(m_ctx.GetText(QStringLiteral("KNX41")));
    mnuAExportHa->setText(m_ctx.GetText(QStringLiteral("KNX42")));
    mnuAExport->menuAction()->setEnabled(ProjectIsOpen(m_ctx) && protocol::hasEditor(ProjectProtocolCode(m_ctx)));
}

void ExportMenu::exportEts()
{
    run(mnuAExportEts->text(),
        {m_ctx.GetText(QStringLiteral("KNX43")), m_ctx.GetText(QStringLiteral("KNX44")),
         m_ctx.GetText(QStringLiteral("KNX45"))},
        {ExportFormat::EtsCsv31, ExportFormat::EtsCsv11, ExportFormat::EtsXml},
        {QStringLiteral(".csv"), QStringLiteral(".csv"), QStringLiteral(".xml")});
}

void ExportMenu::exportHomeAssistant()
{
    run(mnuAExportHa->text(), {m_ctx.GetText(QStringLiteral("KNX46"))}, {ExportFormat::HaYaml},
        {QStringLiteral(".yaml")});
}

void ExportMenu::run(const QString &caption, const QStringList &filters, const QVector<ExportFormat> &formats,
                     const QStringList &suffixes)
{
    QString title = caption;
    title.remove(QLatin1Char('&'));
    int filter = 0;
    const QString suggested = QDir(m_ctx.ProjectDir).filePath(m_ctx.ProjectName + suffixes.front());
    QString path = chooseFile(title, suggested, filters, &filter);
    if (path.isEmpty())
        return;
    filter = qBound(0, filter, int(formats.size()) - 1);
    if (QFileInfo(path).suffix().isEmpty())
        path += suffixes[filter];

    ProjectData data;
    if (!LoadProjectData(m_ctx, data))
        return;
    ExportOptions options;
    options.format = formats[filter];
    const std::optional<QByteArray> bytes = ExportProject(m_ctx, data, options);
    if (!bytes)
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        m_ctx.notice(m_ctx.GetText(QStringLiteral("KNX36")) + QLatin1Char('\r') + path + QLatin1Char('\r')
                     + file.errorString());
        return;
    }
    m_ctx.notice(m_ctx.GetText(QStringLiteral("KNX47")) + QLatin1Char('\r') + path);
}

} // namespace tarveon
