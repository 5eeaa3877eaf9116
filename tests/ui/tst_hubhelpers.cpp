// The hub's helpers as the tool command uses them: deletions by name, inversion flags, and their
// answers without a tool. Character lists, lookups by name, host-side bindings and their
// watches, status and locking are pinned through the command itself in the plug-in scenario
// tests.
#include "modalanswerer.h"
#include "toolfixture.h"

#include <algorithm>

class HubHelpersTest : public QObject
{
    Q_OBJECT

private:
    ToolFixture f;

    QStringList List() const
    {
        QStringList names;
        f.hub->GetCharacterList(names);
        return names;
    }

private slots:
    void init() { f.Start(); }
    void cleanup() { f.Stop(); }

    void deletingByNameKeepsTheCurrentAndRestoresTheQuestion()
    {
        for (const char* name : {"a", "b", "c"})
            f.tool->CreateCharacterization(name);
        f.hub->SetCurrentCharacter("b");
        f.hub->ClearCalls();
        QVERIFY(f.hub->DeleteCharacterByName("c", false));
        QCOMPARE(List(), QStringList({"--- None ---", "a", "b"}));
        QCOMPARE(f.hub->GetCurrentCharacterName(), QString("b"));
        QCOMPARE(f.hub->Calls(), QStringList{"DeleteCharacter c"});
        QVERIFY(f.tool->AskBeforeDelete());
        QVERIFY(!f.hub->DeleteCharacterByName("zzz", false));

        ModalAnswerer answers;
        answers.Click("No");
        QVERIFY(f.hub->DeleteCharacterByName("a", true));
        QCOMPARE(List().size(), 3);
        QCOMPARE(f.hub->GetCurrentCharacterName(), QString("b"));

        f.tool->SetAskBeforeDelete(false);
        answers.Click("Yes");
        f.hub->DeleteCurrentCharacter(); // always asks
        QCOMPARE(answers.Seen().size(), 2);
        QCOMPARE(List(), QStringList({"--- None ---", "a"}));
        QVERIFY(f.tool->AskBeforeDelete());

        // Without asking, every name goes, in list order, and the host hears of each.
        f.hub->ClearCalls();
        QVERIFY(f.hub->DeleteAllCharacters(false));
        QCOMPARE(List(), QStringList{"--- None ---"});
        QCOMPARE(f.hub->Calls().size(), 2);
        QCOMPARE(f.hub->Calls().last(), QString("DeleteCharacter a"));
    }

    void inversionFlagsAreSetOnTheNamedCharacterization()
    {
        f.tool->CreateCharacterization("a");
        const auto& none = f.Model().CharacterizationAt(0)->InversionFlags().Values;
        for (const auto& [index, state] :
             {std::pair{3, true}, {0, true}, {0, false}, {4, true}, {-1, true}})
            QVERIFY(f.hub->SetInversionState("--- None ---", index, state));
        QCOMPARE(QVector<quint32>(std::begin(none), std::end(none)),
                 QVector<quint32>({0, 0, 0, 1}));
        const auto& current = f.Current().InversionFlags().Values;
        QCOMPARE(std::count(std::begin(current), std::end(current), 0u), 4);
        QVERIFY(!f.hub->SetInversionState("b", 0, true));
    }

    void aToolWithoutParentHasNoModelAndEveryHelperAnswersItsDefault()
    {
        ModalAnswerer answers;
        answers.Click("Yes"); // must stay unused
        CharacterTool shell("", "", nullptr, f.hub.get());
        QVERIFY(!shell.Model() && shell.CurrentPage() == -1);
        QCOMPARE(f.hub->Tool(), f.tool.data()); // a shell does not register itself
        f.hub->SetTool(&shell);
        QStringList names{"stale"};
        QVERIFY(!f.hub->GetCharacterList(names));
        QVERIFY(names.isEmpty());
        QCOMPARE(f.hub->GetStatus(true), 1);
        QVERIFY(!f.hub->HasCharacter("--- None ---"));
        QVERIFY(!f.hub->SetCurrentCharacter("--- None ---"));
        QVERIFY(!f.hub->AssignNode("--- None ---", 1, "Char:Hips", true));
        QVERIFY(!f.hub->SetInversionState("--- None ---", 0, true));
        QVERIFY(!f.hub->DeleteCharacterByName("--- None ---", false));
        QVERIFY(!f.hub->DeleteAllCharacters(false));
        f.hub->SetCharacterList({"a"});
        f.hub->ToggleMirrorMatch();
        f.hub->ToggleLock(true);
        f.hub->DeleteCurrentCharacter();
        QVERIFY(answers.Seen().isEmpty());
        QVERIFY(!f.hub->IsLocked() && !f.hub->GetMirrorToggle());
        QCOMPARE(f.hub->GetCurrentCharacterName(), QString());
        QCOMPARE(f.Names(), QStringList{"--- None ---"}); // the real tool saw none of it
    }
};

QTEST_MAIN(HubHelpersTest)
#include "tst_hubhelpers.moc"
