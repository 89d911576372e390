#pragma once
#include <QPointer>
#include <QWidget>

class QComboBox;
class QFrame;
class QProgressBar;
class QPushButton;

namespace tarveon {

class SerialLink;

// The main window's strip of link controls: the on-line switch, the command console, the file to
// upload with its button, and the upload's progress. User actions go to the link; every change of
// link.view() is shown (captions, colours, enablement, file entry, progress, busy pointer).
class LinkToolStrip : public QWidget {
    Q_OBJECT
public:
    explicit LinkToolStrip(SerialLink &link, QWidget *parent = nullptr);
    ~LinkToolStrip() override;

    QPushButton *chkOnline;       // checkable: "Off Line" / "On Line"
    QComboBox *cboCmd;            // editable console line with the command list
    QPushButton *cmdEnviar;
    QComboBox *cboFichero;
    QPushButton *cmdSendFileTarveon;
    QProgressBar *ProgressBar1;
    QFrame *shpTransfer1;         // shown during a transfer
    QFrame *shpTransfer2;         // blinks once per block

    // ProgressBar1 works in integers: its range is the link's maximum times this scale.
    static constexpr int kProgressScale = 1000;

    // Copies link.view() into the controls (done on every viewChanged).
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SerialLink &m_link;
    bool m_cursorOverridden = false;
};

} // namespace tarveon
