#include "TestSupport.h"
#include "model/Validation.h"

#include <QtTest>

using namespace tarveon;

namespace {

using Rows = QList<QStringList>; // per row the cells of columns 4..11: EIS, address, further, R, W, T, U, yes/no

const QString kSwitch = QStringLiteral("01 - Switching (1 bit)");

SignalTable makeTable(const Rows &rows, int hiddenRow = -1)
{
    SignalTable t;
    t.rows.append(SignalRow{});
    for (int i = 0; i < 12; ++i)
        t.rows[0][i] = QStringLiteral("H%1").arg(i);
    for (int r = 0; r < rows.size(); ++r) {
        SignalRow row;
        row[0] = QString::number(r + 1);
        row[1] = QStringLiteral("1");
        row[2] = QStringLiteral("%1 - Signal").arg(r);
        row[3] = QStringLiteral("Description");
        for (int c = 0; c < 8 && c < rows[r].size(); ++c)
            row[4 + c] = rows[r][c];
        row.hidden = (r + 1) == hiddenRow;
        t.rows.append(row);
    }
    return t;
}

QList<RecordingPrompter::Record> shown(const RecordingPrompter &p)
{
    QList<RecordingPrompter::Record> out;
    for (const auto &r : p.records) {
        if (!r.text.startsWith(QStringLiteral("No text found for Key: ")))
            out << r;
    }
    return out;
}

} // namespace

class TestValidation : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestContext> tc;
    AppContext &ctx() { return *tc->ctx; }

    // Expected message texts from keys; "X38:<address>" and "EIB8:<number>" stand for the composed ones.
    QStringList texts(const QStringList &keys)
    {
        QStringList out;
        for (const QString &k : keys) {
            if (k.startsWith("X38:"))
                out << ctx().GetText("X38") + "EIB: " + k.mid(4) + ctx().GetText("X73");
            else if (k.startsWith("EIB8:"))
                out << "EIS: " + k.mid(5) + ctx().GetText("EIB8");
            else
                out << ctx().GetText(k);
        }
        return out;
    }
    void checkNotices(const QStringList &expected)
    {
        const auto msgs = shown(tc->prompter);
        QStringList got;
        for (const auto &m : msgs) {
            got << m.text;
            QCOMPARE(m.kind, RecordingPrompter::Record::MsgBox);
            QCOMPARE(m.title, kAppTitle);
            QCOMPARE(m.buttons, 1);
            QCOMPARE(m.buttonTexts.value(0), ctx().GetText("X1"));
        }
        QCOMPARE(got, expected);
    }

private slots:
    void init() { tc = std::make_unique<test::TestContext>(); }
    void cleanup() { tc.reset(); }

    void groupAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("empty is no group") << "" << "" << 0;
        QTest::newRow("blanks are no group") << "   " << "" << 0;
        QTest::newRow("0/0/0") << "0/0/0" << "EIB30" << 0;
        QTest::newRow("plain 0") << "0" << "EIB30" << 0;
        QTest::newRow("two-level 0") << "0/0" << "EIB30" << 0;
        QTest::newRow("rounds to 0") << "0/0/0.4" << "EIB30" << 0;
        QTest::newRow("0/0/1") << "0/0/1" << "" << 1;
        QTest::newRow("15/7/255") << "15/7/255" << "" << 32767;
        QTest::newRow("blanks around parts") << " 1 / 2 / 3 " << "" << 2563;
        QTest::newRow("two-level") << "1/515" << "" << 2563;
        QTest::newRow("two-level top") << "15/2047" << "" << 32767;
        QTest::newRow("plain") << "2563" << "" << 2563;
        QTest::newRow("plain top") << "32767" << "" << 32767;
        QTest::newRow("hex") << "&H10" << "" << 16;
        QTest::newRow("main half to even") << "1.5/0/0" << "" << 4096;
        QTest::newRow("main not numeric") << "a/1/1" << "EIB20" << 0;
        QTest::newRow("main with inner blank") << "1 2/0/0" << "EIB20" << 0;
        QTest::newRow("main 16") << "16/0/0" << "EIB21" << 0;
        QTest::newRow("main rounds to 16") << "15.5/0/0" << "EIB21" << 0;
        QTest::newRow("main negative") << "-1/0/0" << "EIB21" << 0;
        QTest::newRow("middle not numeric") << "1/a/1" << "EIB22" << 0;
        QTest::newRow("middle 8") << "1/8/0" << "EIB23" << 0;
        QTest::newRow("sub not numeric") << "1/1/a" << "EIB24" << 0;
        QTest::newRow("four parts") << "1/2/3/4" << "EIB24" << 0;
        QTest::newRow("sub 256") << "1/1/256" << "EIB25" << 0;
        QTest::newRow("two-level not numeric") << "1/a" << "EIB26" << 0;
        QTest::newRow("two-level empty rest") << "1/" << "EIB26" << 0;
        QTest::newRow("double slash") << "1//3" << "EIB26" << 0;
        QTest::newRow("two-level 2048") << "1/2048" << "EIB27" << 0;
        QTest::newRow("plain text") << "abc" << "EIB28" << 0;
        QTest::newRow("slash first") << "/2/3" << "EIB28" << 0;
        QTest::newRow("plain 32768") << "32768" << "EIB29" << 0;
        QTest::newRow("plain negative") << "-5" << "EIB29" << 0;
        QTest::newRow("plain huge") << "99999999999999999999999" << "EIB29" << 0;
    }
    void groupAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(int, value);
        qint16 v = -7;
        QCOMPARE(GroupAddressFault(text, v), key);
        if (key.isEmpty())
            QCOMPARE(int(v), value);

        const QStringList expected = key.isEmpty() ? QStringList() : texts({key});
        tc->prompter.clear();
        qint16 shownValue = -7;
        QCOMPARE(GroupAddressInvalid(ctx(), text, shownValue), !key.isEmpty());
        checkNotices(expected);
        if (key.isEmpty())
            QCOMPARE(int(shownValue), value);
    }

    void listenList_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("own");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("valid") << "1/0/1, 1/0/2" << 4097 << QStringList();
        QTest::newRow("valid with trailing comma") << "1/0/1,1/0/2," << 0 << QStringList();
        QTest::newRow("valid with blanks") << "   1/0/1   ,   1/0/3  " << 0 << QStringList();
        QTest::newRow("repeated") << "1/0/1, 1/0/1" << 0 << QStringList{"EIB17"};
        QTest::newRow("repeated in another form") << "1/0/1, 2049" << 0 << QStringList{"EIB17"};
        QTest::newRow("empty item") << "1/0/1,,1/0/2" << 0 << QStringList{"EIB18"};
        QTest::newRow("zero item") << "1/0/1, 0/0/0" << 0 << QStringList{"EIB30", "EIB16"};
        QTest::newRow("bad item") << "1/0/1, 1/9/1" << 0 << QStringList{"EIB23", "EIB16"};
        QTest::newRow("first fault ends") << "x, 1/0/1, 1/0/1" << 0 << QStringList{"EIB28", "EIB16"};
        QTest::newRow("own group listed") << "1/0/1, 1/0/2" << 2050 << QStringList{"EIB19"};
        QTest::newRow("own group after a fault") << "1/0/2, 1/0/2" << 2050 << QStringList{"EIB17"};
    }
    void listenList()
    {
        QFETCH(QString, list);
        QFETCH(int, own);
        QFETCH(QStringList, keys);
        const QStringList expected = texts(keys);
        tc->prompter.clear();
        QCOMPARE(ListenListInvalid(ctx(), list, qint16(own)), !keys.isEmpty());
        checkNotices(expected);
    }

    void validate_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<int>("hiddenRow");
        QTest::addColumn<QStringList>("keys"); // the notices shown, in order; empty: valid
        QTest::addColumn<QString>("faultKey");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");

        const QString s = kSwitch;
        QTest::newRow("valid table")
            << Rows{{s, "1/0/1", "", "R", "W", "T", "", "1"},
                    {s, "1/0/2", "1/0/3, 1/0/4", "", "W", "", "U", "1"},
                    {s, "", "1/0/5", "", "W", "", "U2", "1"},
                    {"05 - Float (16 bit)", "1/0/6", "", "R", "", "T", "", "1"},
                    {s, "", "", "", "", "", "", "0"}}
            << -1 << QStringList() << "" << -1 << -1;
        QTest::newRow("R without address") << Rows{{s, "", "", "R", "", "T", "", "1"}} << -1
                                           << QStringList{"EIB1"} << "EIB1" << 1 << 5;
        QTest::newRow("T without address") << Rows{{s, "", "", "", "W", "T", "", "1"}} << -1
                                           << QStringList{"EIB1"} << "EIB1" << 1 << 5;
        QTest::newRow("U without address") << Rows{{s, "", "1/0/1", "", "W", "", "U", "1"}} << -1
                                           << QStringList{"EIB1"} << "EIB1" << 1 << 5;
        QTest::newRow("no flag") << Rows{{s, "1/0/1", "", "", "", "", "", "1"}} << -1 << QStringList{"EIB2"}
                                 << "EIB2" << 1 << 5;
        QTest::newRow("blank flags") << Rows{{s, "1/0/1", "", " ", "  ", " ", " ", " 1 "}} << -1
                                     << QStringList{"EIB2"} << "EIB2" << 1 << 5;
        QTest::newRow("U without W") << Rows{{s, "1/0/1", "", "", "", "", "U", "1"}} << -1 << QStringList{"EIB3"}
                                     << "EIB3" << 1 << 5;
        QTest::newRow("bad address") << Rows{{s, "16/0/0", "", "R", "", "T", "", "1"}} << -1
                                     << QStringList{"EIB21"} << "EIB21" << 1 << 5;
        QTest::newRow("zero address") << Rows{{s, "0/0/0", "", "R", "", "T", "", "1"}} << -1
                                      << QStringList{"EIB30"} << "EIB30" << 1 << 5;
        QTest::newRow("address used twice")
            << Rows{{s, "1/0/1", "", "R", "", "T", "", "1"}, {s, "", "", "", "", "", "", "0"},
                    {s, " 2049 ", "", "R", "", "T", "", "1"}}
            << -1 << QStringList{"X38:2049"} << "X38" << 3 << 5;
        QTest::newRow("bad further list") << Rows{{s, "1/0/1", "1/0/2, 1/0/2", "R", "W", "T", "", "1"}} << -1
                                          << QStringList{"EIB17"} << "EIB17" << 1 << 6;
        QTest::newRow("further list with bad item") << Rows{{s, "1/0/1", "1/0/2, 0/0/0", "R", "W", "T", "", "1"}}
                                                    << -1 << QStringList{"EIB30", "EIB16"} << "EIB16" << 1 << 6;
        QTest::newRow("own address in further list") << Rows{{s, "1/0/1", "1/0/2, 1/0/1", "R", "W", "T", "", "1"}}
                                                     << -1 << QStringList{"EIB19"} << "EIB19" << 1 << 6;
        QTest::newRow("further without W") << Rows{{s, "1/0/1", "1/0/2", "R", "", "T", "", "1"}} << -1
                                           << QStringList{"EIB4"} << "EIB4" << 1 << 6;
        QTest::newRow("only W, no addresses") << Rows{{s, "", "", "", "W", "", "", "1"}} << -1
                                              << QStringList{"EIB5"} << "EIB5" << 1 << 6;
        QTest::newRow("U2 without further") << Rows{{s, "1/0/1", "", "", "W", "", "U2", "1"}} << -1
                                            << QStringList{"EIB6"} << "EIB6" << 1 << 6;
        QTest::newRow("update group twice by U")
            << Rows{{s, "1/0/1", "1/0/5", "", "W", "", "U2", "1"}, {s, "1/0/5", "", "", "W", "", "U", "1"}} << -1
            << QStringList{"EIB7"} << "EIB7" << 2 << 5;
        QTest::newRow("update group twice by U2")
            << Rows{{s, "1/0/1", "", "", "W", "", "U", "1"}, {s, "1/0/2", "1/0/1, 1/0/3", "", "W", "", "U2", "1"}}
            << -1 << QStringList{"EIB7"} << "EIB7" << 2 << 6;
        QTest::newRow("EIS 3") << Rows{{"03 - Time (24 bit)", "1/0/1", "", "R", "", "T", "", "1"}} << -1
                               << QStringList{"EIB8:3"} << "EIB8" << 1 << 4;
        QTest::newRow("EIS 4") << Rows{{"04 - Date (24 bit )", "1/0/1", "", "R", "", "T", "", "1"}} << -1
                               << QStringList{"EIB8:4"} << "EIB8" << 1 << 4;
        QTest::newRow("EIS 12") << Rows{{"12 - Access (32 bit)", "1/0/1", "", "R", "", "T", "", "1"}} << -1
                                << QStringList{"EIB8:12"} << "EIB8" << 1 << 4;
        QTest::newRow("EIS 15") << Rows{{"15 - String (14 bytes )", "1/0/1", "", "R", "", "T", "", "1"}} << -1
                                << QStringList{"EIB8:15"} << "EIB8" << 1 << 4;
        QTest::newRow("no EIS") << Rows{{"", "1/0/1", "", "R", "", "T", "", "1"}} << -1 << QStringList{"EIB8:0"}
                                << "EIB8" << 1 << 4;
        QTest::newRow("rows with yes/no 0 are not examined")
            << Rows{{s, "", "", "R", "", "T", "", "0"}, {"03", "x", "y", "", "", "", "", "No"}} << -1 << QStringList()
            << "" << -1 << -1;
        QTest::newRow("first fault ends the check")
            << Rows{{s, "1/0/1", "", "", "", "", "", "1"}, {s, "", "", "R", "", "", "", "1"}} << -1
            << QStringList{"EIB2"} << "EIB2" << 1 << 5;
        QTest::newRow("fault on a hidden row") << Rows{{s, "1/0/1", "", "R", "", "T", "", "1"},
                                                       {s, "1/0/1", "", "R", "", "T", "", "1"}}
                                               << 2 << QStringList{"X38:1/0/1"} << "X38" << 2 << 5;
    }
    void validate()
    {
        QFETCH(Rows, rows);
        QFETCH(int, hiddenRow);
        QFETCH(QStringList, keys);
        QFETCH(QString, faultKey);
        QFETCH(int, row);
        QFETCH(int, column);
        const SignalTable table = makeTable(rows, hiddenRow);
        const QStringList expected = texts(keys);
        tc->prompter.clear();

        bool flag = false;
        ValidationFault fault;
        const bool ok = ValidateSignalTable(ctx(), table, SignalColumns{}, flag, -1, &fault);
        QCOMPARE(ok, faultKey.isEmpty());
        QCOMPARE(flag, !ok);
        checkNotices(expected);
        QCOMPARE(fault.key, faultKey);
        QCOMPARE(fault.row, row);
        QCOMPARE(fault.column, column);
        QCOMPARE(fault.rowHidden, hiddenRow > 0 && hiddenRow == row);
    }

    void rowLeftOutIsNotExamined()
    {
        // The editor checks a table with one row left out (the row being edited).
        const SignalTable table = makeTable({{kSwitch, "1/0/1", "", "R", "", "T", "", "1"},
                                             {kSwitch, "", "", "R", "", "", "", "1"},
                                             {kSwitch, "1/0/1", "", "R", "", "T", "", "1"}});
        bool flag = false;
        ValidationFault fault;
        QVERIFY(!ValidateSignalTable(ctx(), table, SignalColumns{}, flag, 3, &fault));
        QCOMPARE(fault.key, QStringLiteral("EIB1"));
        QCOMPARE(fault.row, 2);

        flag = false;
        tc->prompter.clear();
        ValidationFault second;
        QVERIFY(!ValidateSignalTable(ctx(), table, SignalColumns{}, flag, 2, &second));
        QCOMPARE(second.key, QStringLiteral("X38")); // rows 1 and 3 share 1/0/1
        QCOMPARE(second.row, 3);
    }

    void raisedFaultFlagChecksNothing()
    {
        const SignalTable table = makeTable({{kSwitch, "", "", "R", "", "", "", "1"}});
        bool flag = true;
        ValidationFault fault;
        QVERIFY(!ValidateSignalTable(ctx(), table, SignalColumns{}, flag, -1, &fault));
        QVERIFY(flag);
        QVERIFY(shown(tc->prompter).isEmpty());
        QCOMPARE(fault.row, -1);
    }

    void otherColumnNumbers()
    {
        // The checked columns come from the caller; here they are laid out in reverse.
        SignalTable table;
        table.rows.resize(2);
        SignalColumns cols{11, 10, 9, 8, 7, 6, 5, 4};
        table.rows[1][cols.eis] = kSwitch;
        table.rows[1][cols.address] = "1/0/1";
        table.rows[1][cols.further] = "1/0/2";
        table.rows[1][cols.r] = "R";
        table.rows[1][cols.t] = "T";
        table.rows[1][cols.yesNo] = "1";
        bool flag = false;
        ValidationFault fault;
        QVERIFY(!ValidateSignalTable(ctx(), table, cols, flag, -1, &fault));
        QCOMPARE(fault.key, QStringLiteral("EIB4"));
        QCOMPARE(fault.column, 9);
    }

    void emptyTableIsValid()
    {
        SignalTable table;
        bool flag = false;
        QVERIFY(ValidateSignalTable(ctx(), table, SignalColumns{}, flag));
        table.rows.resize(2);
        QVERIFY(ValidateSignalTable(ctx(), table, SignalColumns{}, flag));
        QVERIFY(!flag);
    }
};

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
