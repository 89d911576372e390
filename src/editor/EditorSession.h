#pragma once
#include "editor/GridController.h"
#include "editor/SettingsPage.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalTableModel.h"
#include "editor/VisibleRowsModel.h"

#include <QObject>
#include <QString>
#include <functional>

namespace tarveon {

class AppContext;

// What the accept did.
struct AcceptOutcome {
    enum Stop {
        Saved,           // files written (the generate action has run)
        Validation,      // the table check failed (message shown); `cell` is the faulty cell
        Code,            // a row's signal code is not one the gateway knows ("A8"); `cell` as above
        Devices,         // the device list failed (message shown)
        PhysicalAddress,
        Declined,        // the user said no to saving
        SaveFailed,      // a file could not be written (message shown); the changed flags stay up
    } stop = Saved;
    GridCell cell;           // the cell to make current (Validation, Code)
    bool generated = false;  // the generate action ran to its end (disable its button)
};

// The configuration editor fConfKorvaneEIB without its window: opening the project, the accept,
// closing and generating. It owns the settings page and the signal grid (its models and their
// controller) and asks them; they know nothing of it.
class EditorSession : public QObject {
    Q_OBJECT
public:
    explicit EditorSession(AppContext &ctx, QObject *parent = nullptr);

    // Protocol of the open project, legends, LoadProjectSettings, the table of the machine type,
    // the stored table laid over it, cell (1, 1) current; both changed flags down.
    void open();

    int protocolCode() const { return m_protocolCode; }
    MachineType machineType() const { return m_machineType; }
    int maxDevices() const { return InfoOf(m_machineType).maxDevices; }
    const CodeLegend &codeLegend() const { return m_codeLegend; }
    const QVector<LegendItem> &eisLegend() const { return m_eisLegend; }

    // "Configuration TR-BAS-HUB (Packaged) - Max.Units:160 - Max.Groups EIB:5920 ...".
    QString windowCaption() const;
    // Tab captions and help texts; tab 0 the settings page, tab 1 the signal table.
    QString tabCaption(int tab) const;
    QString tabHelp(int tab) const;

    SettingsPage &settingsPage() { return m_settings; }
    GridController &grid() { return m_grid; }
    SignalTableModel &table() { return m_table; }
    VisibleRowsModel &visibleRows() { return m_visible; }

    // The accept (cmdAceptar); `processEvents` as for GenerateFromEditor.
    AcceptOutcome accept(const std::function<void()> &processEvents = {});
    // Whether the window may close: asks "X35" while a changed flag is up.
    bool queryClose();
    // GenerateFromEditor; refused with "X71" while the settings or a cell are not saved.
    // `processEvents` lets pending window events run before the file is made. True when the
    // generation ran (the window disables its button).
    bool GenerateFromEditor(const std::function<void()> &processEvents = {});
    // ChangeDeviceCount: true when the count was changed and the editor must close.
    bool ChangeDeviceCount();

    // The filter line: the rows shown are those that pass it (device names as the settings page
    // holds them now). The table is never changed by it.
    void setFilter(const QString &text, bool inUseOnly);
    void clearFilter() { setFilter({}, false); }
    // Ctrl+V into the grid; a refused paste shows why and changes nothing. True when pasted.
    bool paste(const QString &text);
    // The device's name as the settings page holds it (blanks trimmed), and the device as the
    // help line names it: "Unit 12 · Room 204", "Unit 12" without a name.
    QString deviceName(int device) const;
    QString deviceTitle(int device) const;
    // Shown, without stopping the accept, once the checks passed: each entry one line.
    std::function<QStringList()> acceptAdvice;

private:
    void showMessages(const QStringList &texts) const;

    AppContext &m_ctx;
    int m_protocolCode = 0;
    MachineType m_machineType = MachineType::IndoorUnits;
    CodeLegend m_codeLegend;
    QVector<LegendItem> m_eisLegend;
    SignalTableModel m_table;
    VisibleRowsModel m_visible;
    SettingsPage m_settings;
    GridController m_grid;
};

} // namespace tarveon
