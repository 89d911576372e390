#include "TestSupport.h"
#include "app/WindowLayout.h"
#include "app/ui/WidgetPrompter.h"
#include "tools/DialogLogic.h"
#include "tools/ui/fInputBox.h"
#include "tools/ui/fMsgBox.h"
#include "tools/ui/frmAbout.h"
#include "version.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace tarveon;

namespace {

// Runs `step` once the modal loop of the next dialog is running.
void whenShown(std::function<void()> step)
{
    QTimer::singleShot(0, std::move(step));
}

QImage imageOf(const QLabel *label)
{
    return label->pixmap().toImage();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    // --- the replace-all routine and the line ends -------------------------------------
    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no occurrence") << "abc" << "x" << "y" << "abc";
        QTest::newRow("every occurrence") << "a,b,c" << "," << ";" << "a;b;c";
        QTest::newRow("at both ends") << ",a," << "," << "--" << "--a--";
        QTest::newRow("remove") << "abcabc" << "bc" << "" << "aa";
        QTest::newRow("not inside replacements") << "aaa" << "a" << "aa" << "aaaaaa";
        QTest::newRow("left to right, no overlap") << "aaa" << "aa" << "b" << "ba";
        QTest::newRow("CR to CR LF once") << "x\ry\r" << "\r" << "\r\n" << "x\r\ny\r\n";
        QTest::newRow("empty text") << "" << "a" << "b" << "";
        QTest::newRow("empty search keeps text") << "abc" << "" << "z" << "abc";
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(ReplaceAll(text, search, replacement), expected);
    }

    void lineEnds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF stays") << "one\r\ntwo" << "one\r\ntwo";
        QTest::newRow("CR alone") << "one\rtwo" << "one\r\ntwo";
        QTest::newRow("LF alone is lost") << "one\ntwo" << "onetwo";
        QTest::newRow("LF CR") << "one\n\rtwo" << "one\r\ntwo";
        QTest::newRow("two CR") << "a\r\rb" << "a\r\n\r\nb";
    }
    void lineEnds()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(NormaliseMessageLineEnds(text), expected);
    }

    // Worked out by hand from the 250-twip gap and a centred row.
    void buttonLefts_data()
    {
        QTest::addColumn<int>("inner");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("lefts");
        QTest::newRow("one") << 6000 << 1200 << 1 << QList<int>{2400};
        QTest::newRow("two") << 6000 << 1200 << 2 << QList<int>{1675, 3125};
        QTest::newRow("three") << 6000 << 1200 << 3 << QList<int>{950, 2400, 3850};
        QTest::newRow("none") << 6000 << 1200 << 0 << QList<int>{};
        QTest::newRow("four") << 6000 << 1200 << 4 << QList<int>{};
    }
    void buttonLefts()
    {
        QFETCH(int, inner);
        QFETCH(int, width);
        QFETCH(int, count);
        QFETCH(QList<int>, lefts);
        QCOMPARE(MsgBoxButtonLefts(inner, width, count), lefts);
    }

    // --- the message dialog --------------------------------------------------------------
    void loadCaptionsAndResult()
    {
        test::TestContext t;
        fMsgBox box(*t.ctx);
        QCOMPARE(box.MsgBoxResult(), 0);
        const QList<QPushButton *> buttons = box.findChildren<QPushButton *>("cmd");
        QCOMPARE(buttons.size(), 3);
        QCOMPARE(buttons[0]->text(), t.ctx->GetText("X1"));
        QCOMPARE(buttons[1]->text(), t.ctx->GetText("X8"));
        QCOMPARE(buttons[2]->text(), t.ctx->GetText("X8"));
        for (QPushButton *b : buttons)
            QVERIFY(!b->isVisibleTo(&box));
    }

    void buttonTextsKeepLoadedWhenEmpty()
    {
        test::TestContext t;
        fMsgBox box(*t.ctx);
        box.Msgbox1("Q", "", 1, 1, 3, "Yes", "", "Later");
        QCOMPARE(box.cmd[0]->text(), QString("Yes"));
        QCOMPARE(box.cmd[1]->text(), t.ctx->GetText("X8"));
        QCOMPARE(box.cmd[2]->text(), QString("Later"));
    }

    void keys_data()
    {
        QTest::addColumn<int>("botones");
        QTest::addColumn<int>("defecto");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("1 button, Esc") << 1 << 1 << int(Qt::Key_Escape) << 1;
        QTest::newRow("1 button, Enter") << 1 << 1 << int(Qt::Key_Return) << 1;
        QTest::newRow("1 button, keypad Enter") << 1 << 1 << int(Qt::Key_Enter) << 1;
        QTest::newRow("2 buttons, Esc is the second") << 2 << 1 << int(Qt::Key_Escape) << 2;
        QTest::newRow("2 buttons, Enter default 1") << 2 << 1 << int(Qt::Key_Return) << 1;
        QTest::newRow("2 buttons, Enter default 2") << 2 << 2 << int(Qt::Key_Return) << 2;
        QTest::newRow("3 buttons, Esc is the third") << 3 << 1 << int(Qt::Key_Escape) << 3;
        QTest::newRow("3 buttons, Enter default 2") << 3 << 2 << int(Qt::Key_Return) << 2;
        QTest::newRow("3 buttons, Space on default 3") << 3 << 3 << int(Qt::Key_Space) << 3;
    }
    void keys()
    {
        QFETCH(int, botones);
        QFETCH(int, defecto);
        QFETCH(int, key);
        QFETCH(int, result);
        test::TestContext t;
        fMsgBox box(*t.ctx);
        box.Msgbox1("Continue?", "", 1, defecto, botones);
        QVERIFY(box.cmd[defecto - 1]->isDefault());
        whenShown([&] {
            QWidget *target = box.focusWidget() ? box.focusWidget() : &box;
            QTest::keyClick(target, Qt::Key(key));
        });
        box.exec();
        QCOMPARE(box.MsgBoxResult(), result);
    }

    void clickButton_data()
    {
        QTest::addColumn<int>("botones");
        QTest::addColumn<int>("button");
        QTest::newRow("1 of 1") << 1 << 1;
        QTest::newRow("1 of 2") << 2 << 1;
        QTest::newRow("2 of 2") << 2 << 2;
        QTest::newRow("2 of 3") << 3 << 2;
        QTest::newRow("3 of 3") << 3 << 3;
    }
    void clickButton()
    {
        QFETCH(int, botones);
        QFETCH(int, button);
        test::TestContext t;
        fMsgBox box(*t.ctx);
        box.Msgbox1("Which one?", "", 1, 1, botones);
        whenShown([&] { QTest::mouseClick(box.cmd[button - 1], Qt::LeftButton); });
        box.exec();
        QCOMPARE(box.MsgBoxResult(), button);
        QVERIFY(!box.isVisible());
    }

    void closeBoxGivesZero_data()
    {
        QTest::addColumn<int>("botones");
        QTest::newRow("one button") << 1;
        QTest::newRow("three buttons") << 3;
        QTest::newRow("no button") << 0;
    }
    void closeBoxGivesZero()
    {
        QFETCH(int, botones);
        test::TestContext t;
        fMsgBox box(*t.ctx);
        box.Msgbox1("Close me", "", 1, 1, botones);
        whenShown([&] { box.close(); });
        box.exec();
        QCOMPARE(box.MsgBoxResult(), 0);
    }

    void escWithoutButtonsDoesNothing()
    {
        test::TestContext t;
        fMsgBox box(*t.ctx);
        box.Msgbox1("No buttons", "", 1, 1, 0);
        bool stillOpen = false;
        whenShown([&] {
            QTest::keyClick(&box, Qt::Key_Escape);
            stillOpen = box.isVisible();
            box.close();
        });
        box.exec();
        QVERIFY(stillOpen);
        QCOMPARE(box.MsgBoxResult(), 0);
        for (QPushButton *b : box.cmd)
            QVERIFY(!b->isVisibleTo(&box));
    }

    void lines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << "first line\r\nsecond line" << QStringList{"first line", "second line"};
        QTest::newRow("CR") << "first line\rsecond line" << QStringList{"first line", "second line"};
        QTest::newRow("LF") << "first line\nsecond line" << QStringList{"first linesecond line"};
    }
    void lines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        test::TestContext t;
        fMsgBox box(*t.ctx);
        box.Msgbox1(text, "", 1, 1, 1);
        QStringList shown;
        for (QTextBlock b = box.lblMsg->document()->begin(); b.isValid(); b = b.next())
            shown << b.text();
        QCOMPARE(shown, lines);
    }

    // Below 55 characters the message moves down to 450 twips and is centred.
    void messagePlace_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("moved");
        QTest::newRow("short") << 5 << true;
        QTest::newRow("54") << 54 << true;
        QTest::newRow("55") << 55 << false;
        QTest::newRow("long") << 300 << false;
    }
    void messagePlace()
    {
        QFETCH(int, length);
        QFETCH(bool, moved);
        test::TestContext t;
        fMsgBox box(*t.ctx);
        fMsgBox design(*t.ctx);
        box.Msgbox1(QString(length, QLatin1Char('m')), "", 1, 1, 1);
        const int designTop = design.lblMsg->y();
        if (moved) {
            QCOMPARE(box.lblMsg->y(), twipsToPixels(450));
            QVERIFY(box.lblMsg->y() > designTop);
        } else {
            QCOMPARE(box.lblMsg->y(), designTop);
        }
        const Qt::Alignment align = box.lblMsg->document()->begin().blockFormat().alignment();
        QCOMPARE(bool(align & Qt::AlignHCenter), moved);
    }

    void longMessageIsNotCut()
    {
        test::TestContext t;
        fMsgBox box(*t.ctx);
        QStringList many;
        for (int i = 0; i < 12; ++i)
            many << QStringLiteral("Line %1 of a message that explains a fault in some detail").arg(i);
        box.Msgbox1(many.join('\r'), "", 1, 1, 2);
        box.show();
        const int docHeight = int(box.lblMsg->document()->size().height());
        QVERIFY2(box.lblMsg->height() >= docHeight, qPrintable(QString("%1 < %2").arg(box.lblMsg->height()).arg(docHeight)));
        // The buttons sit below the message.
        QVERIFY(box.cmd[0]->y() >= box.lblMsg->geometry().bottom());
        QVERIFY(box.cmd[0]->geometry().bottom() < box.height());
    }

    // Every row of buttons is centred, buttons are equally wide, 250 twips apart.
    void buttonPlacement_data()
    {
        QTest::addColumn<int>("botones");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
        QTest::newRow("3") << 3;
    }
    void buttonPlacement()
    {
        QFETCH(int, botones);
        test::TestContext t;
        fMsgBox box(*t.ctx);
        box.Msgbox1("Placement", "", 1, 1, botones);
        box.show();
        QList<QRect> shown;
        for (QPushButton *b : box.cmd) {
            if (b->isVisible())
                shown << b->geometry();
        }
        QCOMPARE(shown.size(), botones);
        const int gap = twipsToPixels(250);
        for (int i = 1; i < shown.size(); ++i) {
            QCOMPARE(shown[i].width(), shown[0].width());
            QCOMPARE(shown[i].top(), shown[0].top());
            QVERIFY(qAbs(shown[i].left() - (shown[i - 1].right() + 1) - gap) <= 1);
        }
        const int leftMargin = shown.first().left();
        const int rightMargin = box.width() - (shown.last().right() + 1);
        QVERIFY2(qAbs(leftMargin - rightMargin) <= 2, qPrintable(QString("%1 vs %2").arg(leftMargin).arg(rightMargin)));
    }

    void captionAndIcon_data()
    {
        QTest::addColumn<QString>("cabecera");
        QTest::addColumn<int>("icono");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("picture");
        QTest::newRow("title of the application") << "" << 0 << kAppTitle << "imgInterrogacion";
        QTest::newRow("own heading") << "Error" << 1 << "Error" << "imgInterrogacion";
        QTest::newRow("exclamation") << "" << 2 << kAppTitle << "imgExclamacion";
        QTest::newRow("alert") << "x" << 3 << "x" << "imgAlerta";
        QTest::newRow("other value") << "" << 7 << kAppTitle << "imgInterrogacion";
    }
    void captionAndIcon()
    {
        QFETCH(QString, cabecera);
        QFETCH(int, icono);
        QFETCH(QString, caption);
        QFETCH(QString, picture);
        test::TestContext t;
        fMsgBox box(*t.ctx);
        fMsgBox design(*t.ctx);
        box.Msgbox1("Text", cabecera, icono, 1, 1);
        QCOMPARE(box.windowTitle(), caption);
        const QImage expected = imageOf(design.findChild<QLabel *>(picture));
        QVERIFY(!expected.isNull());
        QCOMPARE(imageOf(box.imgInterrogacion), expected);
        QVERIFY(!box.imgExclamacion->isVisibleTo(&box));
        QVERIFY(!box.imgAlerta->isVisibleTo(&box));
    }

    void eachCallStartsAfresh()
    {
        test::TestContext t;
        WidgetPrompter widgets;
        widgets.setContext(t.ctx.get());
        Prompter &prompter = widgets;
        whenShown([] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
        QCOMPARE(prompter.msgBox("Save?", "", MsgIcon::Question, MsgDefault::First, MsgButtons::Three, "Yes", "No", "Cancel"), 3);
        // The second dialog is new: its buttons have their load captions, the result starts at 0.
        QString secondCaption;
        whenShown([&] {
            auto *box = qobject_cast<fMsgBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            secondCaption = box->cmd[1]->text();
            box->close();
        });
        QCOMPARE(prompter.msgBox("Go on?", "", MsgIcon::Question, MsgDefault::First, MsgButtons::Two), 0);
        QCOMPARE(secondCaption, t.ctx->GetText("X8"));
    }

    // --- the input dialog ----------------------------------------------------------------
    void input_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result");
        QTest::newRow("OK") << "21.5" << "ok" << "21.5";
        QTest::newRow("Enter in the line") << "abc" << "enter" << "abc";
        QTest::newRow("OK with empty line") << "" << "ok" << "";
        QTest::newRow("Cancel") << "abc" << "cancel" << "";
        QTest::newRow("close box") << "abc" << "close" << "";
        QTest::newRow("Esc") << "abc" << "esc" << "";
    }
    void input()
    {
        QFETCH(QString, typed);
        QFETCH(QString, action);
        QFETCH(QString, result);
        test::TestContext t;
        fInputBox box(*t.ctx);
        QCOMPARE(box.cmdAceptar->text(), t.ctx->GetText("X1"));
        QCOMPARE(box.cmdCancelar->text(), t.ctx->GetText("X3"));
        whenShown([&] {
            QTest::keyClick(box.txtDato, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(box.txtDato, Qt::Key_Delete);
            QTest::keyClicks(box.txtDato, typed);
            if (action == "ok")
                QTest::mouseClick(box.cmdAceptar, Qt::LeftButton);
            else if (action == "enter")
                QTest::keyClick(box.txtDato, Qt::Key_Return);
            else if (action == "cancel")
                QTest::mouseClick(box.cmdCancelar, Qt::LeftButton);
            else if (action == "close")
                box.close();
            else
                QTest::keyClick(box.txtDato, Qt::Key_Escape);
        });
        QCOMPARE(box.ShowInputBox("Title", "Prompt", "0"), result);
        QCOMPARE(box.windowTitle(), QString("Title"));
        QCOMPARE(box.lblDesc->text(), QString("Prompt"));
        QVERIFY(!box.isVisible());
    }

    void defaultTextIsSelectedSoTypingReplacesIt()
    {
        test::TestContext t;
        fInputBox box(*t.ctx);
        QString selectedAtOpen;
        whenShown([&] {
            QCoreApplication::processEvents();
            selectedAtOpen = box.txtDato->selectedText();
            QTest::keyClicks(box.txtDato, "7");
            QTest::keyClick(box.txtDato, Qt::Key_Enter);
        });
        QCOMPARE(box.ShowInputBox("T", "Value", "12.5"), QString("7"));
        QCOMPARE(selectedAtOpen, QString("12.5"));
    }

    void focusByMouseSelectsAll()
    {
        test::TestContext t;
        fInputBox box(*t.ctx);
        QString selected;
        whenShown([&] {
            box.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&box));
            box.cmdCancelar->setFocus();
            box.txtDato->deselect();
            QTest::mouseClick(box.txtDato, Qt::LeftButton, {}, QPoint(3, box.txtDato->height() / 2));
            QCoreApplication::processEvents();
            selected = box.txtDato->selectedText();
            box.close();
        });
        box.ShowInputBox("T", "Value", "hello world");
        QCOMPARE(selected, QString("hello world"));
    }

    void prompterUsesInputDialog()
    {
        test::TestContext t;
        WidgetPrompter prompter;
        prompter.setContext(t.ctx.get());
        whenShown([] {
            auto *box = qobject_cast<fInputBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QTest::keyClicks(box->txtDato, "5");
            QTest::keyClick(box->txtDato, Qt::Key_Return);
        });
        QCOMPARE(prompter.inputBox("Value", "New value", "1"), QString("5"));
    }

    // --- the about box -------------------------------------------------------------------
    void about()
    {
        test::TestContext t;
        frmAbout box(*t.ctx);
        QCOMPARE(box.windowTitle(), t.ctx->GetText("X11") + kAppTitle);
        QCOMPARE(box.lblTitle->text(), kAppTitle);
        QCOMPARE(box.lblVersion->text(), t.ctx->GetText("X82") + " " + TARVEON_VERSION_STRING);
        QCOMPARE(box.lblDescription->text().split('\n'),
                 (QStringList{TARVEON_FILE_DESCRIPTION, "", TARVEON_COMPANY, TARVEON_COMMENTS}));
        QCOMPARE(box.lblDisclaimer->text(), t.ctx->GetText("X26"));
        QCOMPARE(box.cmdOK->text(), t.ctx->GetText("X1"));
        QVERIFY(!box.picIcon->pixmap().isNull());
        whenShown([&] { QTest::mouseClick(box.cmdOK, Qt::LeftButton); });
        QCOMPARE(box.exec(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
