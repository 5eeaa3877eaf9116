// The main panel: its pages and lifetime, creating characterizations and centred message boxes; and
// the hub's helpers as the tool command uses them: deletions by name, inversion flags, and their
// answers without a tool. Locking, deleting with their questions, character lists and host-side
// bindings are pinned through the tool command in the plug-in scenario tests.
#include "modalanswerer.h"
#include "showcenteredmessagebox.h"
#include "toolfixture.h"

#include <algorithm>

#include <QTabBar>

class CharacterToolTest : public QObject
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

    void pagesAreASiblingTabWidgetThatOnlyCodeSwitches()
    {
        CharacterToolTabWidgetNoTabBar* tabs = f.tool->TabWidget();
        QCOMPARE(tabs->parentWidget(), f.host.get());
        QVERIFY(tabs->tabBar()->isHidden());
        for (int page = 0; page < tabs->count(); ++page) // rows are never squeezed together
            QVERIFY(tabs->minimumHeight() >= tabs->widget(page)->minimumSizeHint().height());
        QCOMPARE(f.tool->CurrentPage(), 0);
        f.tool->SetCurrentPage(1);
        f.tool->SetCurrentPage(2);
        f.tool->SetCurrentPage(-1);
        QCOMPARE(f.tool->CurrentPage(), 1);
        QVERIFY(f.tool->Paths()->UserDir().startsWith(f.appData.path()));
    }

    void deletingTheToolTakesItsPagesAndLeavesTheHubWithoutTool()
    {
        QPointer<CharacterToolTabWidgetNoTabBar> tabs = f.tool->TabWidget();
        delete f.tool.data();
        QVERIFY(!tabs);
        QVERIFY(!f.hub->Tool());
    }

    void creatingAnExistingNameAddsNothing()
    {
        f.tool->CreateCharacterization("a");
        QCOMPARE(f.Current().Name(), QString("a"));
        QVERIFY(f.hub->WatchedCharacters().contains("a"));
        f.tool->SetCharacterization(0);
        f.tool->SetCharacterization(2); // outside the list: ignored
        f.tool->CreateCharacterization("a");
        QCOMPARE(f.Names(), QStringList({"--- None ---", "a"}));
        QCOMPARE(f.Current().Name(), QString("--- None ---"));
    }

    // A box asked for by a widget at the window's edge (the panel) is centred on the window,
    // not on the widget, so it does not hang over the window's edge.
    void messageBoxesAreCentredOnTheWindow()
    {
        f.host->setGeometry(100, 50, 600, 400);
        auto* atTheEdge = new QWidget(f.host.get());
        atTheEdge->setGeometry(520, 0, 80, 400);
        f.host->show();
        QPoint shownAt;
        QSize hint;
        bool modalFixedBox = false;
        ModalAnswerer answers;
        answers.Handle([&](QDialog* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            if (!box)
                return dialog->reject();
            modalFixedBox =
                box->isModal() && (box->windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
            shownAt = box->pos();
            hint = box->sizeHint();
            box->button(QMessageBox::No)->click();
        });
        const int answer = ShowCenteredMessageBox(QMessageBox::Question, "t", "x", atTheEdge,
                                                  QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(answer, int(QMessageBox::No));
        QVERIFY(modalFixedBox);
        QCOMPARE(shownAt,
                 f.host->mapToGlobal(QPoint(300 - hint.width() / 2, 200 - hint.height() / 2)));
    }

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

        // The host may end the tool while a question is open: deleting all stops there.
        for (const char* name : {"x", "y"})
            f.tool->CreateCharacterization(name);
        answers.Handle([&](QDialog*) { delete f.tool.data(); });
        QVERIFY(!f.hub->DeleteAllCharacters(true));
        QVERIFY(!f.hub->Tool());
    }

    // A panel without a host deletes on its own side.
    void aPanelWithoutAHostDeletesOnItsOwn()
    {
        CharacterTool alone("", "", f.host.get(), nullptr);
        alone.CreateCharacterization("a");
        alone.SetAskBeforeDelete(false);
        alone.OnDelete();
        QCOMPARE(alone.Model()->CharacterizationCount(), 1);
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

QTEST_MAIN(CharacterToolTest)
#include "tst_charactertool.moc"
