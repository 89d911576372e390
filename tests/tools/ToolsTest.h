#pragma once
// Shared by the tools tests: a scripted link, projects, data of tests/data/tools, keys and dialogs.
#include "TestSupport.h"
#include "link/LinkCommands.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace tarveon::test {

using namespace Qt::StringLiterals;

// The link as the on-line tools see it, without a port: commands are recorded as they would go
// out (trimmed, nothing while off line); the test puts the link in any state and fills its tables.
class ScriptedLink : public LinkCommands {
public:
    void TransmitTarveon(const QString &text, bool raw = false) override
    {
        if (state() == LinkState::OffLine)
            return;
        const QString command = raw ? text : text.trimmed();
        if (!command.isEmpty())
            sent << command;
    }
    using LinkCommands::setState;
    using LinkCommands::tables;
    QStringList sent;
};

// n signals in use in the link-side table, on groups 1/0/1, 1/0/2, ..., with their descriptions.
inline void addSignals(LinkTables &tables, int n)
{
    for (int i = 1; i <= n; ++i) {
        LinkSignal s;
        s.fields = {QString(), u"1"_s, u"%1 Signal"_s.arg(i), u"Description %1"_s.arg(i), u"1 - On/Off"_s, u"1/0/%1"_s.arg(i),
                    QString(), u"R"_s, QString(), u"T"_s};
        s.groupText = u"01/0/%1"_s.arg(i, 3, 10, QLatin1Char('0'));
        s.inUse = 1;
        tables.signals_.append(s);
    }
}

// A program directory with the given projects (name, protocol, description) and templates.
struct Projects {
    explicit Projects(const QList<QStringList> &projects = {})
    {
        ctx().PathTemplates = t.dir.filePath(u"MyTemplates"_s);
        for (const char *name : {"ZTR001-PACKAGED.ini", "ZTR001-PACKAGED.DAT", "ZTR001-CHILLER.dat", "OTHER.ini"})
            write(u"MyTemplates/"_s + QLatin1String(name), name);
        for (const QStringList &p : projects)
            write(u"ProjectsZDM/"_s + p[0] + u"/Project.ini"_s,
                  "[Project]\r\nDesc=" + p[2].toUtf8() + "\r\nProt=" + p[1].toUtf8() + "\r\n");
        t.prompter.clear();
    }
    AppContext &ctx() { return *t.ctx; }
    QString project(const QString &name) const { return t.dir.filePath(u"ProjectsZDM/"_s + name); }
    void write(const QString &relative, const QByteArray &bytes) const { t.dir.writeFile(relative, bytes); }
    QByteArray read(const QString &relative) const { return t.dir.readFile(relative); }
    // The texts of the messages shown so far.
    QStringList texts() const { return t.prompter.texts(); }
    QString text(const char *key) { return ctx().GetText(QLatin1String(key)); }

    TestContext t;
};

// A file of tests/data/tools without its first line (which says how it was worked out).
inline QByteArray expected(const QString &name)
{
    QFile f(QStringLiteral(TARVEON_SOURCE_DIR "/tests/data/tools/") + name);
    const QByteArray all = f.open(QIODevice::ReadOnly) ? f.readAll() : "\n<missing " + name.toUtf8() + ">";
    return all.mid(all.indexOf('\n') + 1);
}

// Test data as rows of texts in the column "row", each row's first text its name: written in the
// test, or read from a table of tests/data/tools (one row a line, TAB between the texts, "\n" and
// "\r" standing for those characters).
inline void rows(const QList<QStringList> &table)
{
    QTest::addColumn<QStringList>("row");
    for (QStringList row : table)
        QTest::newRow(qPrintable(row.takeFirst())) << row;
}
inline void table(const QString &name)
{
    QList<QStringList> read;
    for (const QString &line : QString::fromUtf8(expected(name)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        read << line.split(QLatin1Char('\t'));
        for (QString &f : read.last())
            f.replace(QLatin1String("\\n"), QLatin1String("\n")).replace(QLatin1String("\\r"), QLatin1String("\r"));
    }
    rows(read);
}

// Keys and clicks as a person gives them: to the open menu, else to the widget with the focus.
inline QWidget *focused()
{
    QWidget *w = nullptr; // a window being activated on a busy machine has no focus for a moment
    const auto found = [&] { return (w = QApplication::activePopupWidget()) || (w = QApplication::focusWidget()); };
    return QTest::qWaitFor(found, 2000) ? w : QApplication::activeWindow();
}
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, modifiers);
}
inline void type(const QString &text)
{
    for (const char32_t code : text.toUcs4()) {
        if (code < 0x80)
            QTest::keyClick(focused(), char(code));
        else // a key of a keyboard of its own: the character without a key code
            QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString::fromUcs4(&code, 1), Qt::NoModifier);
    }
}
inline void click(QWidget *widget, QPoint at = {})
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
}

// Runs `step` on the next modal dialog; one it leaves open is closed (leftOpen), never hanging.
class WhenModal {
public:
    explicit WhenModal(std::function<void(QWidget *)> step) : m_step(std::move(step))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            m_timer.stop();
            // Shown, active, and the focus in it: then a person's keys reach it.
            ran = QTest::qWaitFor([dialog] {
                QWidget *focus = QApplication::focusWidget();
                return dialog->isActiveWindow() && focus && dialog->isAncestorOf(focus);
            });
            m_step(dialog);
            if (dialog->isVisible()) {
                leftOpen = true;
                dialog->close();
            }
        });
        m_timer.start(5);
    }
    bool ran = false;
    bool leftOpen = false;

private:
    std::function<void(QWidget *)> m_step;
    QTimer m_timer;
};

} // namespace tarveon::test
