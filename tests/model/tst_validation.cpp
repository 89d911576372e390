// The checks of the signal table: group addresses, further-address lists and the row checks. They
// show nothing; each fault carries its key, its cell and the whole text of its message(s).
#include "../editor/EditorFixture.h"
#include "model/Validation.h"

using namespace tarveon;

namespace {

// A row as "address | further | flags RWTU | EIS | use", e.g. "1/0/1||RW-T|1|1"; "+" in front of
// a row hides it (a collapsed bit row).
SignalTable makeTable(const QStringList &rows)
{
    SignalTable t;
    t.rows.append(SignalRow{});
    for (QString text : rows) {
        SignalRow row;
        row.hidden = text.startsWith('+');
        const QStringList f = text.remove(0, row.hidden ? 1 : 0).split('|');
        row[4] = f[3] + QStringLiteral(" - EIS");
        row[5] = f[0];
        row[6] = f[1];
        test::setFlags(row, f[2]);
        row[11] = f[4];
        t.rows.append(row);
    }
    return t;
}

} // namespace

class TestValidation : public QObject {
    Q_OBJECT

    test::TestContext t;
    QString texts(const QString &pattern) const { return test::withTexts(*t.ctx, pattern); }

private slots:
    void cleanup() { QCOMPARE(t.prompter.texts(), QStringList()); }

    void groupAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("empty is no group") << "  " << "" << 0;
        QTest::newRow("0/0/0") << "0/0/0" << "EIB30" << 0;
        QTest::newRow("plain 0") << "0" << "EIB30" << 0;
        QTest::newRow("0/0/1") << "0/0/1" << "" << 1;
        QTest::newRow("15/7/255") << "15/7/255" << "" << 32767;
        QTest::newRow("blanks around parts") << " 1 / 2 / 3 " << "" << 2563;
        QTest::newRow("main not numeric") << "a/1/1" << "EIB20" << 0;
        QTest::newRow("main 16") << "16/0/0" << "EIB21" << 0;
        QTest::newRow("main -1") << "-1/0/0" << "EIB21" << 0;
        QTest::newRow("middle not numeric") << "1/a/1" << "EIB22" << 0;
        QTest::newRow("middle 7") << "1/7/0" << "" << 3840;
        QTest::newRow("middle 8") << "1/8/0" << "EIB23" << 0;
        QTest::newRow("sub not numeric") << "1/1/a" << "EIB24" << 0;
        QTest::newRow("sub 256") << "1/1/256" << "EIB25" << 0;
        QTest::newRow("two-level not numeric") << "1/a" << "EIB26" << 0;
        QTest::newRow("two-level 2047") << "1/2047" << "" << 4095;
        QTest::newRow("two-level 2048") << "1/2048" << "EIB27" << 0;
        QTest::newRow("plain text") << "abc" << "EIB28" << 0;
        QTest::newRow("slash first") << "/2/3" << "EIB28" << 0;
        QTest::newRow("plain 32767") << "32767" << "" << 32767;
        QTest::newRow("plain 32768") << "32768" << "EIB29" << 0;
    }
    void groupAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(int, value);
        qint16 got = -7;
        ValidationFault fault;
        QCOMPARE(GroupAddressInvalid(*t.ctx, text, got, &fault), !key.isEmpty());
        QCOMPARE(fault.key, key);
        QCOMPARE(fault.messages(), key.isEmpty() ? QStringList() : QStringList{t.ctx->GetText(key)});
        if (key.isEmpty())
            QCOMPARE(int(got), value);
    }

    void validate_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");

        QTest::newRow("valid; rows not in use are not examined")
            << QStringList{"1/0/1||RWT-|1|1", "1/0/1||R---|3|0", "1/0/2|1/0/9|-W--|5|1 - Yes"} << "" << -1 << -1 << "";
        QTest::newRow("R without address") << QStringList{"||R---|1|1"} << "EIB1" << 1 << 5 << "{EIB1}";
        QTest::newRow("U without address") << QStringList{"|1/0/1|-W-U|1|1"} << "EIB1" << 1 << 5 << "{EIB1}";
        QTest::newRow("no flag") << QStringList{"1/0/1||----|1|1"} << "EIB2" << 1 << 5 << "{EIB2}";
        QTest::newRow("U without W") << QStringList{"1/0/1||---U|1|1"} << "EIB3" << 1 << 5 << "{EIB3}";
        QTest::newRow("bad address") << QStringList{"1/8/0||RWT-|1|1"} << "EIB23" << 1 << 5 << "{EIB23}";
        QTest::newRow("group used twice")
            << QStringList{"1/0/1||RWT-|1|1", "1/0/1||RWT-|1|1"} << "X38" << 2 << 5 << "{X38}EIB: 1/0/1{X73}";
        QTest::newRow("bad list") << QStringList{"1/0/1|1/0/2, 0/0/0|-W--|1|1"} << "EIB16" << 1 << 6
                                  << "{EIB30}|{EIB16}";
        QTest::newRow("list item repeated") << QStringList{"1/0/1|1/0/2, 1/0/2|-W--|1|1"} << "EIB17" << 1 << 6 << "{EIB17}";
        QTest::newRow("empty list item") << QStringList{"1/0/1|1/0/2,,1/0/3|-W--|1|1"} << "EIB18" << 1 << 6 << "{EIB18}";
        QTest::newRow("own group listed") << QStringList{"1/2/3|1/0/2, 1/515|-W--|1|1"} << "EIB19" << 1 << 6 << "{EIB19}";
        QTest::newRow("list without W") << QStringList{"1/0/1|1/0/2|R-T-|1|1"} << "EIB4" << 1 << 6 << "{EIB4}";
        QTest::newRow("listening without an address of its own")
            << QStringList{"|1/0/2|-W--|1|1"} << "ED1" << 1 << 5 << "{ED1}";
        QTest::newRow("W only, no address") << QStringList{"||-W--|1|1"} << "EIB5" << 1 << 6 << "{EIB5}";
        QTest::newRow("U2 without list") << QStringList{"1/0/1||-W-U2|1|1"} << "EIB6" << 1 << 6 << "{EIB6}";
        QTest::newRow("U group twice")
            << QStringList{"1/0/1|1/0/5|-W-U2|1|1", "1/0/5||-W-U|1|1"} << "EIB7" << 2 << 5 << "{EIB7}";
        QTest::newRow("U2 group twice")
            << QStringList{"1/0/1||-W-U|1|1", "1/0/2|1/0/1|-W-U2|1|1"} << "EIB7" << 2 << 6 << "{EIB7}";
        QTest::newRow("EIS 3") << QStringList{"1/0/1||RWT-|3|1"} << "EIB8" << 1 << 4 << "EIS: 3{EIB8}";
        QTest::newRow("EIS 15") << QStringList{"1/0/1||RWT-|15|1"} << "EIB8" << 1 << 4 << "EIS: 15{EIB8}";
        QTest::newRow("EIS 14") << QStringList{"1/0/1||RWT-|14|1"} << "" << -1 << -1 << "";
        QTest::newRow("fault on a hidden row") << QStringList{"1/0/1||RWT-|1|1", "+||R---|1|1"} << "EIB1" << 2 << 5
                                               << "{EIB1}";
    }
    void validate()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, key);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, message);
        const SignalTable table = makeTable(rows);
        bool faultFlag = false;
        ValidationFault fault;
        QCOMPARE(ValidateSignalTable(*t.ctx, table, SignalColumns{}, faultFlag, -1, &fault), key.isEmpty());
        QCOMPARE(faultFlag, !key.isEmpty());
        QCOMPARE(fault.key, key);
        QCOMPARE(fault.row, row);
        QCOMPARE(fault.column, column);
        QCOMPARE(fault.rowHidden, table.rows.value(row).hidden);
        QCOMPARE(fault.messages().join('|'), texts(message));
        // A raised flag checks nothing; the faulty row left out, the rest passes.
        QCOMPARE(ValidateSignalTable(*t.ctx, table, SignalColumns{}, faultFlag), key.isEmpty());
        bool again = false;
        if (!key.isEmpty() && row == table.rowCount() - 1)
            QVERIFY(ValidateSignalTable(*t.ctx, table, SignalColumns{}, again, row));
    }
};

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
