#include "tools/ui/fProject.h"

#include "app/AppContext.h"
#include "tools/ui/fProjectNew.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarveon {

namespace {

// Sorts its texts without regard to case, as the report list of the platform does.
class ProjectItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const int c = QString::compare(text(column), other.text(column), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : text(column) < other.text(column);
    }
};

} // namespace

fProject::fProject(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx), m_list(ctx)
{
    setObjectName(QStringLiteral("fProject"));
    setWindowTitle(ctx.GetText(QStringLiteral("X86")) + QStringLiteral("s"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    lblPathProjects = new QLabel(this);
    lblPathProjects->setObjectName(QStringLiteral("lblPathProjects"));
    lblPathProjects->setText(ctx.PathProjects);
    lblPathProjects->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lvwPro = new QTreeWidget(this);
    lvwPro->setObjectName(QStringLiteral("lvwPro"));
    lvwPro->setColumnCount(3);
    lvwPro->setHeaderLabels({ctx.GetText(QStringLiteral("X87")), QStringLiteral("Gateway"),
                             ctx.GetText(QStringLiteral("X25"))});
    lvwPro->setRootIsDecorated(false);
    lvwPro->setUniformRowHeights(true);
    lvwPro->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwPro->setAllColumnsShowFocus(true);
    lvwPro->setSortingEnabled(false); // sorted only on a header click
    lvwPro->header()->setSectionsClickable(true);
    lvwPro->header()->setStretchLastSection(true);
    lvwPro->setColumnWidth(0, 180);
    lvwPro->setColumnWidth(1, 140);
    lvwPro->installEventFilter(this);

    auto button = [this](const char *name, const char *key) {
        auto *b = new QPushButton(m_ctx.GetText(QLatin1String(key)), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdNuevo = button("cmdNuevo", "X7");
    cmdEdit = button("cmdEdit", "X101");
    cmdBorrar = button("cmdBorrar", "X2");
    cmdSelec = button("cmdSelec", "X102");
    cmdSalir = button("cmdSalir", "X8");
    cmdSelec->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdNuevo);
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdBorrar);
    buttons->addStretch(1);
    buttons->addWidget(cmdSelec);
    buttons->addWidget(cmdSalir);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPathProjects);
    layout->addWidget(lvwPro, 1);
    layout->addLayout(buttons);
    resize(620, 380);

    connect(cmdSelec, &QPushButton::clicked, this, &fProject::cmdSelec_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &fProject::cmdSalir_Click);
    connect(cmdNuevo, &QPushButton::clicked, this, &fProject::cmdNuevo_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &fProject::cmdEdit_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &fProject::cmdBorrar_Click);
    connect(lvwPro->header(), &QHeaderView::sectionClicked, this, &fProject::lvwPro_ColumnClick);
    connect(lvwPro, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (selectedItem())
            cmdSelec_Click();
    });

    fillList();
}

void fProject::fillList()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lvwPro->clear();
    m_loaded = m_list.fill();
    if (!m_loaded) {
        QApplication::restoreOverrideCursor();
        // The message has been shown; the window closes as soon as its modal loop runs.
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    QTreeWidgetItem *select = nullptr;
    const QVector<ProjectEntry> &entries = m_list.entries();
    for (int i = 0; i < entries.size(); ++i) {
        QTreeWidgetItem *item = addItem(entries[i]);
        if (i == m_list.preselected())
            select = item;
    }
    if (select) {
        lvwPro->setCurrentItem(select);
        select->setSelected(true);
        lvwPro->scrollToItem(select);
    }
    QApplication::restoreOverrideCursor();
}

QTreeWidgetItem *fProject::addItem(const ProjectEntry &entry)
{
    auto *item = new ProjectItem(lvwPro, QStringList{entry.name, entry.protocol, entry.description});
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    return item;
}

QTreeWidgetItem *fProject::selectedItem() const
{
    const QList<QTreeWidgetItem *> items = lvwPro->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

ProjectEntry fProject::entryOf(const QTreeWidgetItem *item)
{
    return {item->text(0), item->text(1), item->text(2)};
}

void fProject::done(int result)
{
    m_list.closing();
    QDialog::done(result);
}

bool fProject::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lvwPro && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (selectedItem())
                cmdSelec_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void fProject::cmdSelec_Click()
{
    QTreeWidgetItem *item = selectedItem();
    const ProjectEntry entry = item ? entryOf(item) : ProjectEntry{};
    if (m_list.open(item ? &entry : nullptr))
        accept();
}

void fProject::cmdSalir_Click()
{
    reject();
}

void fProject::cmdBorrar_Click()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    if (!m_list.deleteProject(entryOf(item)))
        return;
    delete item;
    // Nothing stays selected: the next Open or Delete acts only on a project the user picks.
    lvwPro->clearSelection();
    lvwPro->setCurrentItem(nullptr);
    lvwPro->setFocus();
}

void fProject::cmdEdit_Click()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    m_list.beginEdit(entryOf(item));
    fProjectNew dialog(m_ctx, this);
    dialog.exec();
    if (m_list.mStatus == 2) {
        item->setText(0, m_list.mSelNom);
        item->setText(2, m_list.mSelDesc);
        if (m_sorted)
            lvwPro->sortItems(m_sortColumn, m_sortOrder);
        lvwPro->scrollToItem(item);
    }
}

void fProject::cmdNuevo_Click()
{
    QTreeWidgetItem *item = selectedItem();
    const ProjectEntry entry = item ? entryOf(item) : ProjectEntry{};
    if (!m_list.beginNew(item ? &entry : nullptr))
        return;
    fProjectNew dialog(m_ctx, this);
    dialog.exec();
    if (m_list.mStatus != 1)
        return;
    QTreeWidgetItem *added = addItem(m_list.selection());
    if (m_sorted)
        lvwPro->sortItems(m_sortColumn, m_sortOrder);
    lvwPro->clearSelection();
    lvwPro->setCurrentItem(added);
    added->setSelected(true);
    lvwPro->scrollToItem(added);
}

void fProject::lvwPro_ColumnClick(int column)
{
    // Every click reverses the order, whichever column it is on.
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_sortColumn = column;
    m_sorted = true;
    lvwPro->header()->setSortIndicatorShown(true);
    lvwPro->sortItems(column, m_sortOrder);
    if (QTreeWidgetItem *item = selectedItem())
        lvwPro->scrollToItem(item);
}

} // namespace tarveon
