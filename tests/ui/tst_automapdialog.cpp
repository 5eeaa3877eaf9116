// The auto-characterization review dialog: which rows start ticked and what ticking changes.
#include "automapdialog.h"

#include <QLabel>
#include <QTableWidget>
#include <QtTest>

class AutoMapDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void lowConfidenceRowsStartUntickedAndTicksDecideTheBindings()
    {
        AutoMapProposal proposal;
        proposal.entries = {
            {1, 0, 0.95, "hips", {}}, {9, 2, 0.6, "arm", {}}, {15, 1, 0.8, "head", {}}};
        AutoMapDialog dialog(proposal, {"Pelvis", "Skull", "UpperArm"}, nullptr);
        QTableWidget* table = dialog.Table();
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(1, 1)->text(), QString("UpperArm"));
        QCOMPARE(table->item(1, 2)->text(), QString("0.60"));
        QCOMPARE(table->item(0, 0)->checkState(), Qt::Checked);
        QCOMPARE(table->item(1, 0)->checkState(), Qt::Unchecked); // below the tick threshold
        QCOMPARE(table->item(2, 0)->checkState(), Qt::Checked);   // at it

        const auto joints = [&] {
            QStringList names;
            for (const AutoMapChange::Binding& binding : dialog.TickedBindings())
                names << QStringLiteral("%1=%2").arg(binding.node).arg(binding.joint);
            return names;
        };
        QCOMPARE(joints(), QStringList({"1=Pelvis", "15=Skull"}));
        table->item(0, 0)->setCheckState(Qt::Unchecked);
        table->item(1, 0)->setCheckState(Qt::Checked);
        QCOMPARE(joints(), QStringList({"9=UpperArm", "15=Skull"}));
    }

    // Each row shows its runner-ups, and every cell's tooltip carries the whole reason; a
    // note says why required slots are empty.
    void rowsExplainThemselvesWithRunnerUpsAndTooltips()
    {
        AutoMapProposal proposal;
        proposal.note = "left and right are not proposed: nothing shows the facing";
        proposal.entries = {{15,
                             1,
                             0.72,
                             "the joint below the leaf at the top of the skull",
                             {{2, 0.18}, {0, 0.10}}}};
        AutoMapDialog dialog(proposal, {"Neck", "Skull", "SkullTop"}, nullptr);
        QTableWidget* table = dialog.Table();
        QCOMPARE(table->item(0, 3)->text(), QString("SkullTop 0.18, Neck 0.10"));
        for (int column = 0; column < table->columnCount(); ++column) {
            const QString tip = table->item(0, column)->toolTip();
            QVERIFY2(tip.contains("top of the skull") && tip.contains("SkullTop 0.18"),
                     qPrintable(tip));
        }
        bool noteShown = false;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            noteShown = noteShown || label->text() == proposal.note;
        QVERIFY(noteShown);
    }
};

QTEST_MAIN(AutoMapDialogTest)
#include "tst_automapdialog.moc"
