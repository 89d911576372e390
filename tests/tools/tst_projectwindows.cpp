#include "ProjectsFixture.h"
#include "tools/ui/fProject.h"
#include "tools/ui/fProjectNew.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// Acts on the project dialog once it is up in its modal loop. The action must close it; a dialog
// left open, or none appearing within five seconds, is closed here and reported.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(fProjectNew *)> action) : m_action(std::move(action))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    bool ran = false;
    bool leftOpen = false;
    bool timedOut() const { return !ran && m_polls > 1000; }

private:
    void poll()
    {
        auto *dialog = qobject_cast<fProjectNew *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (++m_polls > 1000)
                m_timer.stop();
            return;
        }
        m_timer.stop();
        ran = true;
        m_action(dialog);
        if (dialog->isVisible()) {
            leftOpen = true;
            dialog->reject();
        }
    }
    std::function<void(fProjectNew *)> m_action;
    QTimer m_timer;
    int m_polls = 0;
};

QStringList column(const QTreeWidget *list, int c)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(c);
    return out;
}

QTreeWidgetItem *itemNamed(const QTreeWidget *list, const QString &name)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == name)
            return list->topLevelItem(i);
    return nullptr;
}

QStringList selectedNames(const QTreeWidget *list)
{
    QStringList out;
    for (auto *item : list->selectedItems())
        out << item->text(0);
    return out;
}

void clickItem(QTreeWidget *list, QTreeWidgetItem *item)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void clickHeader(QTreeWidget *list, int section)
{
    QHeaderView *h = list->header();
    const QPoint at(h->sectionViewportPosition(section) + h->sectionSize(section) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
}

// Types into a line edit as a user would, replacing what it held.
void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

struct Windows : ProjectsFixture {
    Windows()
    {
        addProject("alpha", "ZTR001-PACKAGED", "Zeta offices", {"ZTR001-PACKAGED.ini"});
        addProject("Beta", "ZTR001-CHILLER", "Airport", {"ZTR001-CHILLER.ini", "EIB.log"});
        addProject("gamma", "ZTR001-PACKAGED", "mall", {"ZTR001-PACKAGED.ini"});
        prompter().clear();
    }
    std::unique_ptr<fProject> open()
    {
        auto w = std::make_unique<fProject>(ctx());
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("window not exposed");
        return w;
    }
};

} // namespace

class TestProjectWindows : public QObject {
    Q_OBJECT
private slots:
    void listShowsProjects()
    {
        Windows f;
        f.ctx().ProjectName = "Beta";
        auto w = f.open();
        QCOMPARE(w->windowTitle(), f.ctx().GetText("X86") + "s");
        QCOMPARE(w->lblPathProjects->text(), f.ctx().PathProjects);
        QTreeWidgetItem *header = w->lvwPro->headerItem();
        QCOMPARE(header->text(0), f.ctx().GetText("X87"));
        QCOMPARE(header->text(1), QStringLiteral("Gateway"));
        QCOMPARE(header->text(2), f.ctx().GetText("X25"));
        QCOMPARE(w->cmdNuevo->text(), f.ctx().GetText("X7"));
        QCOMPARE(w->cmdEdit->text(), f.ctx().GetText("X101"));
        QCOMPARE(w->cmdBorrar->text(), f.ctx().GetText("X2"));
        QCOMPARE(w->cmdSelec->text(), f.ctx().GetText("X102"));
        QCOMPARE(w->cmdSalir->text(), f.ctx().GetText("X8"));
        QCOMPARE(column(w->lvwPro, 0), (QStringList{"alpha", "Beta", "gamma"}));
        QCOMPARE(column(w->lvwPro, 1), (QStringList{"ZTR001-PACKAGED", "ZTR001-CHILLER", "ZTR001-PACKAGED"}));
        QCOMPARE(column(w->lvwPro, 2), (QStringList{"Zeta offices", "Airport", "mall"}));
        QVERIFY(!w->lvwPro->topLevelItem(0)->icon(0).isNull());
        QCOMPARE(selectedNames(w->lvwPro), QStringList{"Beta"});
        QCOMPARE(w->lvwPro->currentItem()->text(0), QStringLiteral("Beta"));
        QCOMPARE(f.ctx().IniFileName, QStringLiteral("Project"));
        QVERIFY(boxes(f.prompter()).isEmpty());
    }

    void lastProjectScrolledIntoView()
    {
        ProjectsFixture f;
        for (int i = 0; i < 60; ++i)
            f.addProject(QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0')), "ZTR001-PACKAGED", "");
        f.ctx().ProjectName = "P55";
        auto w = std::make_unique<fProject>(f.ctx());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTreeWidgetItem *item = itemNamed(w->lvwPro, "P55");
        QVERIFY(item->isSelected());
        QVERIFY(w->lvwPro->viewport()->rect().contains(w->lvwPro->visualItemRect(item)));
    }

    void firstSelectedWithoutLastProject()
    {
        Windows f;
        f.ctx().ProjectName = "Removed";
        auto w = f.open();
        QCOMPARE(selectedNames(w->lvwPro), QStringList{"alpha"});
    }

    void openProject_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("double click") << "double click";
        QTest::newRow("enter") << "enter";
        QTest::newRow("keypad enter") << "keypad enter";
    }
    void openProject()
    {
        QFETCH(QString, how);
        Windows f;
        f.ctx().ProjectDir = "/before";
        auto w = f.open();
        QTreeWidgetItem *gamma = itemNamed(w->lvwPro, "gamma");
        clickItem(w->lvwPro, gamma);
        QCOMPARE(selectedNames(w->lvwPro), QStringList{"gamma"});
        if (how == "button")
            QTest::mouseClick(w->cmdSelec, Qt::LeftButton);
        else if (how == "double click")
            QTest::mouseDClick(w->lvwPro->viewport(), Qt::LeftButton, {}, w->lvwPro->visualItemRect(gamma).center());
        else
            QTest::keyClick(w->lvwPro, how == "enter" ? Qt::Key_Return : Qt::Key_Enter,
                            how == "enter" ? Qt::NoModifier : Qt::KeypadModifier);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(f.ctx().ProjectName, QStringLiteral("gamma"));
        QCOMPARE(f.ctx().ProjectProtocol, QStringLiteral("ZTR001-PACKAGED"));
        QCOMPARE(f.ctx().ProjectDescription, QStringLiteral("mall"));
        QCOMPARE(f.ctx().ProtocolFamily, QStringLiteral("ZTR001"));
        QCOMPARE(f.ctx().ProjectDir, f.project("gamma"));
        QCOMPARE(w->list().mStatus, qint16(2));
        QVERIFY(boxes(f.prompter()).isEmpty());
    }

    void emptyList()
    {
        ProjectsFixture f;
        auto w = std::make_unique<fProject>(f.ctx());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->lvwPro->topLevelItemCount(), 0);

        // Enter in the list is taken by the list: nothing happens without a selection.
        QTest::keyClick(w->lvwPro, Qt::Key_Return);
        QVERIFY(w->isVisible());
        QVERIFY(boxes(f.prompter()).isEmpty());

        DialogDriver never([](fProjectNew *d) { d->reject(); });
        QTest::mouseClick(w->cmdEdit, Qt::LeftButton);
        QTest::mouseClick(w->cmdBorrar, Qt::LeftButton);
        QVERIFY(!never.ran);
        QVERIFY(boxes(f.prompter()).isEmpty());

        QTest::mouseClick(w->cmdSelec, Qt::LeftButton);
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, f.ctx().GetText("X93"));
        QCOMPARE(shown[0].icon, int(BoxKind::Exclamation));
        QVERIFY(w->isVisible());
    }

    void closeLeavesState_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close button") << false;
        QTest::newRow("escape") << true;
    }
    void closeLeavesState()
    {
        QFETCH(bool, escape);
        Windows f;
        f.ctx().ProjectDir = "/before";
        f.ctx().ProjectName = "Beta";
        f.ctx().ProjectProtocol = "ZTR001-CHILLER";
        auto w = f.open();
        clickItem(w->lvwPro, itemNamed(w->lvwPro, "gamma"));
        if (escape)
            QTest::keyClick(w->lvwPro, Qt::Key_Escape);
        else
            QTest::mouseClick(w->cmdSalir, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QCOMPARE(f.ctx().ProjectDir, QStringLiteral("/before"));
        QCOMPARE(f.ctx().ProjectName, QStringLiteral("Beta"));
        QCOMPARE(f.ctx().ProjectProtocol, QStringLiteral("ZTR001-CHILLER"));
    }

    void headerClicksSort()
    {
        Windows f;
        auto w = f.open();
        clickHeader(w->lvwPro, 0);
        QCOMPARE(column(w->lvwPro, 0), (QStringList{"gamma", "Beta", "alpha"}));
        clickHeader(w->lvwPro, 0);
        QCOMPARE(column(w->lvwPro, 0), (QStringList{"alpha", "Beta", "gamma"}));
        clickHeader(w->lvwPro, 2); // the order turns on every click, whichever column
        QCOMPARE(column(w->lvwPro, 2), (QStringList{"Zeta offices", "mall", "Airport"}));
        clickHeader(w->lvwPro, 1);
        QCOMPARE(column(w->lvwPro, 1), (QStringList{"ZTR001-CHILLER", "ZTR001-PACKAGED", "ZTR001-PACKAGED"}));
    }

    void deleteProject_data()
    {
        QTest::addColumn<BoxAnswer>("answer");
        QTest::addColumn<bool>("subdirectory");
        QTest::newRow("yes") << BoxAnswer::Yes << false;
        QTest::newRow("no") << BoxAnswer::No << false;
        QTest::newRow("yes, subdirectory stays") << BoxAnswer::Yes << true;
    }
    void deleteProject()
    {
        QFETCH(BoxAnswer, answer);
        QFETCH(bool, subdirectory);
        Windows f;
        if (subdirectory)
            f.write("ProjectsZDM/Beta/Old/x.dat", "x");
        auto w = f.open();
        clickItem(w->lvwPro, itemNamed(w->lvwPro, "Beta"));
        f.prompter().boxAnswers = {answer};
        QTest::mouseClick(w->cmdBorrar, Qt::LeftButton);
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.value(0).text, f.ctx().GetText("X89") + "Beta ?");
        if (answer == BoxAnswer::No) {
            QCOMPARE(column(w->lvwPro, 0), (QStringList{"alpha", "Beta", "gamma"}));
            QVERIFY(QFileInfo::exists(f.project("Beta") + "/EIB.log"));
            return;
        }
        QCOMPARE(column(w->lvwPro, 0), (QStringList{"alpha", "gamma"}));
        QVERIFY(w->lvwPro->hasFocus());
        QCOMPARE(QFileInfo::exists(f.project("Beta")), subdirectory);
        QCOMPARE(shown.size(), subdirectory ? 2 : 1);
        if (subdirectory)
            QCOMPARE(shown[1].text, f.ctx().GetText("X91"));
        QVERIFY(!QFileInfo::exists(f.project("Beta") + "/EIB.log"));
    }

    void newFromTemplates()
    {
        Windows f;
        auto w = f.open();
        w->lvwPro->clearSelection();
        DialogDriver driver([](fProjectNew *d) {
            QVERIFY(d->txtNom->text().isEmpty());
            QVERIFY(d->cboProt->isEnabled());
            QCOMPARE(d->cboProt->count(), 2);
            QCOMPARE(d->cboProt->currentText(), QStringLiteral("ZTR001-PACKAGED"));
            QCOMPARE(d->lbl[2]->text(), QStringLiteral("Gateway"));
            QTest::keyClicks(d->txtNom, "Hotel Sur");
            QTest::keyClick(d->cboProt, Qt::Key_Down);
            QTest::keyClicks(d->txtDesc, "Roof");
            QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
        });
        QTest::mouseClick(w->cmdNuevo, Qt::LeftButton);
        QVERIFY(driver.ran);
        QVERIFY(!driver.leftOpen);
        QVERIFY(boxes(f.prompter()).isEmpty()); // nothing selected: no question
        QTreeWidgetItem *added = itemNamed(w->lvwPro, "Hotel Sur");
        QVERIFY(added);
        QCOMPARE(added->text(1), QStringLiteral("ZTR001-CHILLER"));
        QCOMPARE(added->text(2), QStringLiteral("Roof"));
        QCOMPARE(selectedNames(w->lvwPro), QStringList{"Hotel Sur"});
        QCOMPARE(QDir(f.project("Hotel Sur")).entryList(QDir::Files, QDir::Name),
                 (QStringList{"Project.ini", "ZTR001-CHILLER.dat", "ZTR001-CHILLER.ini"}));
        QVERIFY(w->isVisible()); // the list stays open after new
    }

    void newAsCopy()
    {
        Windows f;
        auto w = f.open();
        clickItem(w->lvwPro, itemNamed(w->lvwPro, "Beta"));
        f.prompter().boxAnswers = {BoxAnswer::Yes};
        QList<RecordingPrompter::Record> whileOpen;
        DialogDriver driver([&](fProjectNew *d) {
            QCOMPARE(d->txtNom->text(), QStringLiteral("Beta"));
            QCOMPARE(d->txtDesc->text(), QStringLiteral("Airport"));
            QCOMPARE(d->cboProt->currentText(), QStringLiteral("ZTR001-CHILLER"));
            QVERIFY(!d->cboProt->isEnabled());
            QTest::mouseClick(d->cmdAceptar, Qt::LeftButton); // same name: exists
            QVERIFY(d->isVisible());
            whileOpen = boxes(f.prompter());
            retype(d->txtNom, "Beta copy");
            QTest::keyClick(d->txtNom, Qt::Key_Return); // the default button
        });
        QTest::mouseClick(w->cmdNuevo, Qt::LeftButton);
        QVERIFY(driver.ran);
        QVERIFY(!driver.leftOpen);
        QCOMPARE(whileOpen.size(), 2);
        QCOMPARE(whileOpen[0].text, f.ctx().GetText("X92") + "\nBeta - ZTR001-CHILLER");
        QCOMPARE(whileOpen[1].text, f.ctx().GetText("X95"));
        QCOMPARE(boxes(f.prompter()).size(), 2);
        QCOMPARE(selectedNames(w->lvwPro), QStringList{"Beta copy"});
        QCOMPARE(QDir(f.project("Beta copy")).entryList(QDir::Files, QDir::Name),
                 (QStringList{"EIB.log", "Project.ini", "ZTR001-CHILLER.ini"}));
        QCOMPARE(f.read("ProjectsZDM/Beta copy/Project.ini"),
                 QByteArray("[Project]\r\nDesc=Airport\r\nProt=ZTR001-CHILLER\r\n"));
    }

    void newCancelled_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel button") << "button";
        QTest::newRow("escape") << "escape";
        QTest::newRow("close box") << "close";
        QTest::newRow("question cancelled") << "question";
    }
    void newCancelled()
    {
        QFETCH(QString, how);
        Windows f;
        auto w = f.open();
        const auto before = snapshot(f.t.dir.path());
        if (how == "question")
            f.prompter().boxAnswers = {BoxAnswer::Cancel};
        else
            w->lvwPro->clearSelection();
        DialogDriver driver([&](fProjectNew *d) {
            QTest::keyClicks(d->txtNom, "Never");
            if (how == "button")
                QTest::mouseClick(d->cmdCancelar, Qt::LeftButton);
            else if (how == "escape")
                QTest::keyClick(d->txtNom, Qt::Key_Escape);
            else
                d->close();
        });
        QTest::mouseClick(w->cmdNuevo, Qt::LeftButton);
        QCOMPARE(driver.ran, how != "question");
        QVERIFY(!driver.leftOpen);
        QCOMPARE(w->lvwPro->topLevelItemCount(), 3);
        QCOMPARE(snapshot(f.t.dir.path()), before);
        QCOMPARE(w->list().mStatus, qint16(how == "question" ? 1 : 0));
    }

    void editProject()
    {
        Windows f;
        auto w = f.open();
        clickItem(w->lvwPro, itemNamed(w->lvwPro, "alpha"));
        QList<RecordingPrompter::Record> bad;
        DialogDriver driver([&](fProjectNew *d) {
            QCOMPARE(d->txtNom->text(), QStringLiteral("alpha"));
            QVERIFY(!d->cboProt->isEnabled());
            retype(d->txtNom, "alpha.2"); // a point: refused, the dialog stays
            QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
            QVERIFY(d->isVisible());
            bad = boxes(f.prompter());
            retype(d->txtNom, "Alpha Norte");
            retype(d->txtDesc, "North offices");
            QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
        });
        QTest::mouseClick(w->cmdEdit, Qt::LeftButton);
        QVERIFY(driver.ran);
        QVERIFY(!driver.leftOpen);
        QCOMPARE(bad.size(), 1);
        QCOMPARE(bad[0].text, f.ctx().GetText("X98"));
        QVERIFY(!QFileInfo::exists(f.project("alpha.2")));
        QTreeWidgetItem *item = itemNamed(w->lvwPro, "Alpha Norte");
        QVERIFY(item);
        QCOMPARE(item->text(1), QStringLiteral("ZTR001-PACKAGED"));
        QCOMPARE(item->text(2), QStringLiteral("North offices"));
        QCOMPARE(w->lvwPro->topLevelItemCount(), 3);
        QVERIFY(!QFileInfo::exists(f.project("alpha")));
        QCOMPARE(f.read("ProjectsZDM/Alpha Norte/ZTR001-PACKAGED.ini"), QByteArray("ZTR001-PACKAGED.ini"));
        QCOMPARE(f.read("ProjectsZDM/Alpha Norte/Project.ini"),
                 QByteArray("[Project]\r\nDesc=North offices\r\nProt=ZTR001-PACKAGED\r\n"));

        // Then opened under its new name.
        QTest::mouseClick(w->cmdSelec, Qt::LeftButton);
        QCOMPARE(f.ctx().ProjectName, QStringLiteral("Alpha Norte"));
        QCOMPARE(f.ctx().ProjectDir, f.project("Alpha Norte"));
    }

    void editCancelledKeepsItem()
    {
        Windows f;
        auto w = f.open();
        clickItem(w->lvwPro, itemNamed(w->lvwPro, "gamma"));
        const auto before = snapshot(f.t.dir.path());
        DialogDriver driver([](fProjectNew *d) {
            retype(d->txtNom, "Other");
            QTest::mouseClick(d->cmdCancelar, Qt::LeftButton);
        });
        QTest::mouseClick(w->cmdEdit, Qt::LeftButton);
        QVERIFY(driver.ran);
        QCOMPARE(column(w->lvwPro, 0), (QStringList{"alpha", "Beta", "gamma"}));
        QCOMPARE(snapshot(f.t.dir.path()), before);
    }

    void projectsDirectoryUnusable()
    {
        ProjectsFixture f;
        f.write("afile", "x");
        f.ctx().PathProjects = f.t.dir.filePath("afile/ProjectsZDM");
        f.ctx().ProjectDir = "/before";
        fProject w(f.ctx());
        QVERIFY(!w.loaded());
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, f.ctx().GetText("X94") + "\n" + f.ctx().PathProjects);
        QCOMPARE(shown[0].icon, int(BoxKind::Critical));
        QTimer guard;
        guard.setSingleShot(true);
        bool hung = false;
        QObject::connect(&guard, &QTimer::timeout, [&] { hung = true; w.done(QDialog::Accepted); });
        guard.start(5000);
        QCOMPARE(w.exec(), int(QDialog::Rejected)); // closes by itself
        QVERIFY(!hung);
        QCOMPARE(f.ctx().ProjectDir, QStringLiteral("/before"));
    }

    void dialogWithoutList()
    {
        ProjectsFixture f;
        QDir().mkpath(f.projects());
        QWidget other;
        fProjectNew d(f.ctx(), &other);
        QVERIFY(d.cboProt->isEnabled());
        d.show();
        QTest::keyClicks(d.txtNom, "Solo");
        QTest::mouseClick(d.cmdAceptar, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(QDir(f.project("Solo")).entryList(QDir::Files, QDir::Name),
                 (QStringList{"Project.ini", "ZTR001-PACKAGED.DAT", "ZTR001-PACKAGED.ini"}));
    }
};

QTEST_MAIN(TestProjectWindows)
#include "tst_projectwindows.moc"
