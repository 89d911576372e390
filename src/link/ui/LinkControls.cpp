#include "link/ui/LinkControls.h"

#include "link/SerialLink.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>

namespace tarveon {

LinkControlsBinder::LinkControlsBinder(SerialLink &link, const LinkControls &controls, QObject *parent)
    : QObject(parent), m_link(link), m_c(controls)
{
    if (m_c.chkOnline) {
        m_c.chkOnline->setCheckable(true);
        // clicked, not toggled: the binder's own setChecked must not re-enter the handler.
        connect(m_c.chkOnline, &QAbstractButton::clicked, this, [this](bool checked) { m_link.chkOnline_Click(checked); });
    }
    if (m_c.Timer1) {
        m_c.Timer1->setInterval(1000);
        connect(m_c.Timer1, &QTimer::timeout, this, [this] { m_link.Timer1_Timer(); });
    }
    if (m_c.cboCmd) {
        m_c.cboCmd->setEditable(true);
        m_c.cboCmd->setInsertPolicy(QComboBox::NoInsert);
        m_c.cboCmd->clear();
        m_c.cboCmd->addItems(SerialLink::ConsoleCommands());
        m_c.cboCmd->setCurrentIndex(-1);
        // An editable combo box hands Enter to its line edit twice (returnPressed fires twice):
        // take the key before the line edit sees it.
        m_cmdLine = m_c.cboCmd->lineEdit();
        m_cmdLine->installEventFilter(this);
    }
    if (m_c.cmdEnviar)
        connect(m_c.cmdEnviar, &QAbstractButton::clicked, this, [this] {
            m_link.cmdEnviar_Click(m_c.cboCmd ? m_c.cboCmd->currentText() : QString());
        });
    if (m_c.cboFichero)
        connect(m_c.cboFichero, &QComboBox::activated, this,
                [this](int) { m_link.setFileEntry(m_c.cboFichero->currentText()); });
    if (m_c.cmdSendFileTarveon)
        connect(m_c.cmdSendFileTarveon, &QAbstractButton::clicked, this, [this] { m_link.cmdSendFileTarveon_Click(); });
    connect(&m_link, &SerialLink::viewChanged, this, &LinkControlsBinder::refresh);
    refresh();
}

bool LinkControlsBinder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_cmdLine && watched == m_cmdLine) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!m_c.cmdEnviar || m_c.cmdEnviar->isEnabled())
                m_link.cmdEnviar_Click(m_c.cboCmd->currentText());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

LinkControlsBinder::~LinkControlsBinder()
{
    if (m_cursorOverridden)
        QApplication::restoreOverrideCursor();
}

void LinkControlsBinder::refresh()
{
    const LinkView &v = m_link.view();
    if (m_c.chkOnline) {
        m_c.chkOnline->setChecked(v.onlineChecked);
        m_c.chkOnline->setText(v.onlineCaption);
        m_c.chkOnline->setStyleSheet(v.onlineGreen ? QStringLiteral("background-color: rgb(0, 255, 0);") : QString());
    }
    if (m_c.cmdEnviar)
        m_c.cmdEnviar->setEnabled(v.consoleEnabled);
    if (m_c.cmdSendFileTarveon)
        m_c.cmdSendFileTarveon->setEnabled(v.sendFileEnabled);
    if (m_c.mnuVer)
        m_c.mnuVer->setEnabled(v.viewMenuEnabled);
    if (m_c.mnuAProject)
        m_c.mnuAProject->setEnabled(v.projectMenuEnabled);
    if (m_c.cboFichero) {
        QStringList items;
        for (int i = 0; i < m_c.cboFichero->count(); ++i)
            items << m_c.cboFichero->itemText(i);
        if (items != v.fileEntries) {
            m_c.cboFichero->clear();
            m_c.cboFichero->addItems(v.fileEntries);
        }
        m_c.cboFichero->setCurrentIndex(v.fileIndex);
    }
    if (m_c.ProgressBar1) {
        m_c.ProgressBar1->setRange(0, int(v.progressMaximum * kProgressScale));
        m_c.ProgressBar1->setValue(qMin(v.progressValue * kProgressScale, m_c.ProgressBar1->maximum()));
        m_c.ProgressBar1->setVisible(v.progressVisible);
    }
    if (m_c.shpTransfer1)
        m_c.shpTransfer1->setVisible(v.transfer1Visible);
    if (m_c.shpTransfer2)
        m_c.shpTransfer2->setVisible(v.transfer2Visible);
    if (v.busy != m_cursorOverridden) {
        m_cursorOverridden = v.busy;
        if (v.busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
}

} // namespace tarveon
