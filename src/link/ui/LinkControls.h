#pragma once
#include <QObject>
#include <QPointer>

class QAction;
class QCheckBox;
class QAbstractButton;
class QComboBox;
class QProgressBar;
class QTimer;
class QWidget;

namespace tarveon {

class SerialLink;

// The main window's link controls. Any pointer may be null (a control the window lacks).
struct LinkControls {
    QAbstractButton *chkOnline = nullptr;         // checkable toggle "Off Line" / "On Line"
    QTimer *Timer1 = nullptr;                     // 1000 ms
    QComboBox *cboCmd = nullptr;                  // editable console line
    QAbstractButton *cmdEnviar = nullptr;
    QComboBox *cboFichero = nullptr;
    QAbstractButton *cmdSendFileTarveon = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QWidget *shpTransfer1 = nullptr;              // activity indicator, shown during a transfer
    QWidget *shpTransfer2 = nullptr;              // blinks once per block
    QAction *mnuVer = nullptr;                    // View menu (its menuAction())
    QAction *mnuAProject = nullptr;               // project list
};

// Wires the controls to the link: user actions go to the link's handlers, and every change of
// link.view() is shown (captions, colours, enablement, file entry, progress, busy pointer).
// Fills cboCmd with the console commands. The link must outlive the controls' use.
class LinkControlsBinder : public QObject {
    Q_OBJECT
public:
    LinkControlsBinder(SerialLink &link, const LinkControls &controls, QObject *parent = nullptr);
    ~LinkControlsBinder() override;

    // Copies link.view() into the controls (done on every viewChanged).
    void refresh();

    // ProgressBar1 works in integers: its range is the link's maximum times this scale.
    static constexpr int kProgressScale = 1000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SerialLink &m_link;
    LinkControls m_c;
    // cboCmd's line edit, kept on its own: the filter must not call into the combo box, which is
    // half destroyed when its line edit's last events arrive.
    QPointer<QObject> m_cmdLine;
    bool m_cursorOverridden = false;
};

} // namespace tarveon
