// The panel's file actions: saving a characterization, extracting and applying naming
// templates, editing mirror keywords, all driven through their dialogs.
#include "modalanswerer.h"
#include "savetemplatedialog.h"
#include "toolfixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

// Answers the save dialog with `path`, a filter and the rotation-limits choice.
void AnswerSaveDialog(ModalAnswerer& answers, const QString& path, bool bigEndian, bool limits)
{
    answers.Handle([=](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files);
        QCOMPARE(files->nameFilters(), (QStringList{"Binary KNT big endian (*.kntc)",
                                                    "Binary KNT little endian (*.kntc)"}));
        auto* box = files->findChild<QCheckBox*>();
        QVERIFY(box && box->isChecked()); // limits are saved unless the user says otherwise
        box->setChecked(limits);
        files->selectNameFilter(files->nameFilters().at(bigEndian ? 0 : 1));
        files->selectFile(path);
        QMetaObject::invokeMethod(files, "accept");
    });
}

} // namespace

class PanelFileActionsTest : public QObject
{
    Q_OBJECT

private:
    ToolFixture f;
    QTemporaryDir m_out;

    QString Out(const QString& name) const { return m_out.filePath(name); }

private slots:
    void init() { f.Start(); }
    void cleanup() { f.Stop(); }

    void savingWritesBothFilesWithTheChosenOrder()
    {
        ModalAnswerer answers;
        AnswerSaveDialog(answers, Out("hero.old"), false, true);
        f.tool->OnSave(); // nothing bound: Error, no dialog
        QVERIFY(!answers.AllAnswered());

        f.BindBiped();
        const qint64 expected = 872 + 120 * f.biped.size();
        f.tool->OnSave();
        QVERIFY(answers.AllAnswered());
        QCOMPARE(QFileInfo(Out("hero.old.kntc")).size(), expected);
        QVERIFY(QFile::exists(Out("hero.bones.xml")));

        AnswerSaveDialog(answers, Out("HERO.KNTC"), true, false);
        f.tool->OnSave();
        QVERIFY(QFile::exists(Out("HERO.KNTC")));
        QVERIFY(!QFile::exists(Out("HERO.KNTC.kntc")));
        QFile big(Out("HERO.KNTC"));
        QVERIFY(big.open(QIODevice::ReadOnly));
        QCOMPARE(big.read(4), QByteArray("\x24\x02\x27\x89", 4));

        // Cancelled with a name already chosen: nothing is written.
        answers.Handle([this](QDialog* dialog) {
            qobject_cast<QFileDialog*>(dialog)->selectFile(Out("cancelled.kntc"));
            dialog->reject();
        });
        f.tool->OnSave();
        QVERIFY(answers.AllAnswered());
        QVERIFY(!QFile::exists(Out("cancelled.kntc")));
    }

    void extractingProposesAUniqueNameAndRemembersTheFolder()
    {
        ModalAnswerer answers;
        answers.Click("OK");
        f.tool->ExtractTemplate(); // nothing bound yet
        QVERIFY(answers.Seen().value(0).startsWith("Extract Template Error|"));

        f.BindBiped();
        const QString templates = f.tool->Paths()->UserDir() + "/template/";
        answers.Handle([&](QDialog* dialog) {
            auto* save = qobject_cast<SaveTemplateDialog*>(dialog);
            QVERIFY(save);
            QCOMPARE(save->Prefix(), QString("Char:"));
            QCOMPARE(save->Path(), templates);
            save->accept();
        });
        f.tool->ExtractTemplate();
        QVERIFY(QFile::exists(templates + "template.xml"));
        QCOMPARE(f.Model().LastOperationMessage(), QString("Template successfully saved."));

        // The next name is free; another folder chosen is remembered, a missing one refused.
        for (const QString& folder : {m_out.path() + "/", m_out.path() + "/missing/"}) {
            const bool missing = folder.endsWith("missing/");
            answers.Handle([&](QDialog* dialog) {
                auto* save = qobject_cast<SaveTemplateDialog*>(dialog);
                QCOMPARE(save->Path(), missing ? m_out.path() + "/" : templates);
                QVERIFY(missing || save->Name() == "template(1)");
                save->findChildren<QLineEdit*>().at(3)->setText(folder);
                save->accept();
            });
            if (missing)
                answers.Click("OK");
            f.tool->ExtractTemplate();
        }
        QVERIFY(QFile::exists(Out("template(1).xml")));
        QCOMPARE(answers.Seen().last(),
                 QString("Extract Template Error|The directory does not exist."));
    }

    void applyingNeedsAnUnlockedCharacterizationAndASelection()
    {
        ModalAnswerer answers;
        answers.Click("OK");
        f.tool->AutoMatch();
        QVERIFY(answers.Seen().last().startsWith("Match Error|"));

        f.BindBiped();
        f.tool->ToggleEditMode();
        f.hub->Select({"Char:Hips"});
        answers.Click("OK");
        f.tool->AutoMatch();
        QVERIFY(answers.Seen().last().startsWith("Characterization Locked|"));
    }

    // A regular file where a folder should be stops every writer, root included.
    void filesThatCannotBeWrittenAreNamedOnTheHostsWarningOutput()
    {
        f.BindBiped();
        QVERIFY(QFile(Out("blocked")).open(QIODevice::WriteOnly));
        const QString config = f.tool->Paths()->UserDir() + "/config";
        QVERIFY(QDir(config).removeRecursively() && QFile(config).open(QIODevice::WriteOnly));
        f.hub->ClearCalls();

        ModalAnswerer answers;
        AnswerSaveDialog(answers, Out("blocked/hero"), false, true);
        f.tool->OnSave();
        answers.Handle([](QDialog* dialog) { dialog->accept(); });
        f.tool->ConfigMirror();
        QVERIFY(answers.AllAnswered());
        QCOMPARE(f.hub->Calls(),
                 (QStringList{"WarnFileNotWritten " + Out("blocked/hero.kntc"),
                              "WarnFileNotWritten " + Out("blocked/hero.bones.xml"),
                              "WarnFileNotWritten " + config + "/characterization_tool.xml"}));
    }
};

QTEST_MAIN(PanelFileActionsTest)
#include "tst_panelfileactions.moc"
