#pragma once
// The editor window over a fixture project, with the helpers the window tests drive it with.
#include "EditorFixture.h"
#include "editor/VisibleRowsModel.h"
#include "editor/ui/SignalGridView.h"
#include "editor/ui/fConfKorvaneEIB.h"
#include "model/GroupAddress.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <memory>

namespace tarveon::test {

// Rows of a one-unit indoor project as the catalogue builds it.
namespace unitRow {
constexpr int status100 = 1, status101 = 2, onOff = 3, mode = 4, modeBit0 = 5, modeStep = 10, fan = 11,
              fanStep = 15, tset = 16, tsetStep = 17, louver = 18, central = 20, roomTemp = 25,
              operation = 33, operationBit3 = 37, last = 40;
}

struct EditorWindow {
    explicit EditorWindow(const QString &protocol = QStringLiteral("ZTR001-PACKAGED"),
                          const QByteArray &settingsFile = {}, const QByteArray &tableFile = {})
        : f(protocol, settingsFile, tableFile)
    {
        w = std::make_unique<fConfKorvaneEIB>(f.ctx());
        w->show();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        f.prompter().clear();
    }

    EditorSession &s() { return w->session(); }
    SignalGridView *grid() { return w->grid; }
    QString cell(int row, int column) { return s().grid.cell(row, column); }

    void showGrid()
    {
        w->TabStrip1->setCurrentIndex(1);
        QCoreApplication::processEvents();
    }
    QModelIndex index(int row, int column) { return w->viewIndex(row, column); }
    QPoint centre(int row, int column)
    {
        const QModelIndex i = index(row, column);
        grid()->scrollTo(i);
        return grid()->visualRect(i).center();
    }
    void click(int row, int column, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods, centre(row, column));
    }
    void doubleClick(int row, int column)
    {
        const QPoint at = centre(row, column);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
    }
    void rightClick(int row, int column)
    {
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, centre(row, column));
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, centre(row, column));
    }
    // Selects the cells from (row1, column1) to (row2, column2) by click and shift-click.
    void select(int row1, int column1, int row2, int column2)
    {
        click(row1, column1);
        click(row2, column2, Qt::ShiftModifier);
    }
    void typeOnFocus(const QString &text)
    {
        for (QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    void keyOnFocus(Qt::Key key, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }
    QMenu *openPopup() { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }
    // Chooses the visible entry `item` (counting visible actions only) of the open pop-up.
    bool choosePopupItem(int item)
    {
        QMenu *menu = openPopup();
        if (!menu)
            return false;
        int visible = 0;
        for (QAction *a : menu->actions()) {
            if (!a->isVisible() || a->isSeparator())
                continue;
            if (visible++ == item) {
                menu->hide();
                a->trigger();
                return true;
            }
        }
        return false;
    }
    void closePopup()
    {
        if (QMenu *menu = openPopup())
            menu->hide();
    }

    EditorFixture f;
    std::unique_ptr<fConfKorvaneEIB> w;
};

} // namespace tarveon::test
