#include "link/ui/LinkToolStrip.h"

#include "link/SerialLink.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>

namespace tarveon {

namespace {

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Upload activity: two small lamps that take turns while blocks go out.
QFrame *lamp(QWidget *parent, const char *name)
{
    auto *shape = new QFrame(parent);
    shape->setObjectName(QLatin1String(name));
    shape->setFixedSize(10, 10);
    shape->setFrameShape(QFrame::Box);
    shape->setStyleSheet(QStringLiteral("background: #35b55a; border: 1px solid #1d6b33;"));
    shape->setVisible(false);
    return shape;
}

} // namespace

LinkToolStrip::LinkToolStrip(SerialLink &link, QWidget *parent) : QWidget(parent), m_link(link)
{
    chkOnline = new QPushButton(QStringLiteral("Off Line"), this);
    chkOnline->setObjectName(QStringLiteral("chkOnline"));
    chkOnline->setCheckable(true);
    chkOnline->setEnabled(false);
    chkOnline->setMinimumWidth(80);

    cboCmd = new QComboBox(this);
    cboCmd->setObjectName(QStringLiteral("cboCmd"));
    cboCmd->setEditable(true);
    cboCmd->setInsertPolicy(QComboBox::NoInsert);
    cboCmd->setMinimumContentsLength(18);
    cboCmd->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboCmd->addItems(SerialLink::ConsoleCommands());
    cboCmd->setCurrentIndex(-1);
    // The combo box keeps the keyboard focus and hands keys to its line edit directly: Enter is
    // only seen here.
    cboCmd->installEventFilter(this);

    cmdEnviar = new QPushButton(this);
    cmdEnviar->setObjectName(QStringLiteral("cmdEnviar"));

    cboFichero = new QComboBox(this);
    cboFichero->setObjectName(QStringLiteral("cboFichero"));
    cboFichero->setMinimumContentsLength(22);
    cboFichero->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    cmdSendFileTarveon = new QPushButton(this);
    cmdSendFileTarveon->setObjectName(QStringLiteral("cmdSendFileTarveon"));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setFixedWidth(160);
    shpTransfer1 = lamp(this, "shpTransfer1");
    shpTransfer2 = lamp(this, "shpTransfer2");

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(6);
    row->addWidget(chkOnline);
    row->addWidget(separator(this));
    row->addWidget(cboCmd);
    row->addWidget(cmdEnviar);
    row->addWidget(separator(this));
    row->addWidget(cboFichero);
    row->addWidget(cmdSendFileTarveon);
    row->addWidget(ProgressBar1);
    row->addWidget(shpTransfer1);
    row->addWidget(shpTransfer2);
    setTabOrder(chkOnline, cboCmd);
    setTabOrder(cboCmd, cmdEnviar);
    setTabOrder(cmdEnviar, cboFichero);
    setTabOrder(cboFichero, cmdSendFileTarveon);

    // clicked, not toggled: refresh()'s own setChecked must not re-enter the handler.
    connect(chkOnline, &QPushButton::clicked, this, [this](bool checked) { m_link.chkOnline_Click(checked); });
    connect(cmdEnviar, &QPushButton::clicked, this, [this] { m_link.cmdEnviar_Click(cboCmd->currentText()); });
    connect(cboFichero, &QComboBox::activated, this, [this](int) { m_link.setFileEntry(cboFichero->currentText()); });
    connect(cmdSendFileTarveon, &QPushButton::clicked, this, [this] { m_link.cmdSendFileTarveon_Click(); });
    connect(&m_link, &SerialLink::viewChanged, this, &LinkToolStrip::refresh);
    refresh();
}

LinkToolStrip::~LinkToolStrip()
{
    if (m_cursorOverridden)
        QApplication::restoreOverrideCursor();
}

bool LinkToolStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboCmd && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (cmdEnviar->isEnabled())
                m_link.cmdEnviar_Click(cboCmd->currentText());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LinkToolStrip::refresh()
{
    const LinkView v = m_link.view();
    chkOnline->setChecked(v.onlineChecked);
    chkOnline->setText(v.onlineCaption);
    chkOnline->setStyleSheet(v.onlineGreen ? QStringLiteral("background-color: rgb(0, 255, 0);") : QString());
    cmdEnviar->setEnabled(v.consoleEnabled);
    cmdSendFileTarveon->setEnabled(v.sendFileEnabled);
    QStringList items;
    for (int i = 0; i < cboFichero->count(); ++i)
        items << cboFichero->itemText(i);
    if (items != v.fileEntries) {
        cboFichero->clear();
        cboFichero->addItems(v.fileEntries);
    }
    cboFichero->setCurrentIndex(v.fileIndex);
    const UploadProgress &p = v.upload;
    ProgressBar1->setRange(0, int(p.maximum * kProgressScale));
    ProgressBar1->setValue(qMin(p.value * kProgressScale, ProgressBar1->maximum()));
    ProgressBar1->setVisible(p.visible);
    shpTransfer1->setVisible(p.visible);
    shpTransfer2->setVisible(p.visible && p.blink);
    if (p.busy != m_cursorOverridden) {
        m_cursorOverridden = p.busy;
        if (p.busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
}

} // namespace tarveon
