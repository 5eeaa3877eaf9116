// The template, mirror keyword and auto-characterization review dialogs, driven as a user
// would.
#include "applytemplatedialog.h"
#include "automapdialog.h"
#include "configmirrordialog.h"
#include "files/settingsdocument.h"
#include "modalanswerer.h"
#include "savetemplatedialog.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TemplateDialogsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString Touch(const QString& name)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        return file.fileName();
    }

    QString DirPath() const { return m_dir.path() + QLatin1Char('/'); }

    // A settings file in the folder holding the mirror keyword pairs `pairs`.
    QString MirrorSettings(const QString& name, const KeyValueList& pairs)
    {
        const QString path = m_dir.filePath(name);
        SettingsDocument(path).SetKeyValueList("mirror", "mirror_list", pairs);
        return path;
    }

private slots:
    void saveDialogDropsTheExtensionAndAsksBeforeOverwriting()
    {
        Touch("abc.xml");
        SaveTemplateDialog dialog(nullptr, "Char1:Hips", "Char1:", "template", DirPath());
        auto* name = dialog.findChildren<QLineEdit*>().at(0);
        QCOMPARE(name->text(), QString("template"));
        name->setText("abc.xml");

        ModalAnswerer answers;
        answers.Click("No");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // still open
        QCOMPARE(dialog.Name(), QString("abc"));
        QCOMPARE(answers.Seen().size(), 1);
        QVERIFY(answers.Seen()[0].startsWith("Save Template|"));

        answers.Click("Yes");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        SaveTemplateDialog fresh(nullptr, "Hips", QString(), "fresh", DirPath());
        fresh.accept(); // a new name: no question
        QCOMPARE(fresh.result(), int(QDialog::Accepted));
        QVERIFY(answers.AllAnswered());
    }

    void applyDialogListsTemplatesLastNameFirst()
    {
        QTemporaryDir dir;
        for (const char* name : {"a.xml", "B.xml", "c.txt"})
            QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
        ApplyTemplateDialog dialog(nullptr, dir.path(), "Char2:");
        auto* combo = dialog.findChild<QComboBox*>();
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, (QStringList{"B", "a", "<Browse...>"}));
        QCOMPARE(dialog.TemplatePath(), QFileInfo(dir.filePath("B.xml")).absoluteFilePath());

        QTemporaryDir empty;
        ApplyTemplateDialog nothing(nullptr, empty.path(), QString());
        QCOMPARE(nothing.findChild<QComboBox*>()->count(), 2);
        QCOMPARE(nothing.TemplatePath(), QString());
    }

    void browsingReplacesTheListOrFallsBackToTheFirstItem()
    {
        QTemporaryDir dir;
        QFile(dir.filePath("a.xml")).open(QIODevice::WriteOnly);
        const QString elsewhere = Touch("elsewhere.xml");
        ApplyTemplateDialog dialog(nullptr, dir.path(), QString());
        auto* combo = dialog.findChild<QComboBox*>();

        ModalAnswerer answers;
        answers.Handle([](QDialog* fileDialog) { fileDialog->reject(); });
        combo->setCurrentIndex(1);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->count(), 2);

        answers.Handle([&elsewhere](QDialog* fileDialog) {
            auto* files = qobject_cast<QFileDialog*>(fileDialog);
            QVERIFY(files);
            files->selectFile(elsewhere);
            QMetaObject::invokeMethod(files, "accept");
        });
        combo->setCurrentIndex(1);
        QCOMPARE(combo->itemText(0), QString("elsewhere"));
        QCOMPARE(combo->itemText(1), QString("<Browse...>"));
        QCOMPARE(dialog.TemplatePath(), QFileInfo(elsewhere).absoluteFilePath());
        QVERIFY(answers.AllAnswered());
    }

    void mirrorDialogEditsAndStoresDistinctPairsOnlyWhenAccepted()
    {
        const QString settings = MirrorSettings("settings.xml", {{"Left", "Right"}, {"L_", "R_"}});
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        {
            ConfigMirrorDialog cancelled(nullptr, settings);
            cancelled.RemoveRow();
            cancelled.reject();
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);

        ConfigMirrorDialog dialog(nullptr, settings);
        QTableWidget* table = dialog.Table();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, 0)->text(), QString("L_"));
        QCOMPARE(table->currentRow(), -1);
        dialog.RemoveRow(); // no current row: the last one goes
        QCOMPARE(table->rowCount(), 1);
        dialog.AddRow(); // never edited: not stored
        dialog.AddRow();
        table->setItem(2, 0, new QTableWidgetItem("Left"));
        table->setItem(2, 1, new QTableWidgetItem("Right")); // duplicate of row 0
        dialog.AddRow();
        table->setItem(3, 0, new QTableWidgetItem(""));
        table->setItem(3, 1, new QTableWidgetItem(""));
        dialog.accept();
        KeyValueList stored;
        SettingsDocument(settings).GetKeyValueList("mirror", "mirror_list", stored);
        QCOMPARE(stored, (KeyValueList{{"Left", "Right"}, {"", ""}}));

        ConfigMirrorDialog empty(nullptr, m_dir.filePath("absent.xml"));
        empty.RemoveRow(); // nothing to remove
        QCOMPARE(empty.Table()->rowCount(), 0);
    }

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

QTEST_MAIN(TemplateDialogsTest)
#include "tst_templatedialogs.moc"
