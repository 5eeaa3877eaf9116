// The main panel: its pages and lifetime, creating characterizations, mirror mode and centred
// message boxes. Locking and deleting, with their questions, are pinned through the tool command
// in the plug-in scenario tests.
#include "diagram/diagramwidget.h"
#include "diagram/partitem.h"
#include "modalanswerer.h"
#include "property/propertyview.h"
#include "showcenteredmessagebox.h"
#include "toolfixture.h"

#include <QLabel>
#include <QTextEdit>

#include <QTabBar>

class CharacterToolTest : public QObject
{
    Q_OBJECT

private:
    ToolFixture f;

private slots:
    void init() { f.Start(); }
    void cleanup() { f.Stop(); }

    void pagesAreASiblingTabWidgetThatOnlyCodeSwitches()
    {
        CharacterToolTabWidgetNoTabBar* tabs = f.tool->TabWidget();
        QCOMPARE(f.hub->Tool(), f.tool.data());
        QCOMPARE(tabs->parentWidget(), f.host.get());
        QVERIFY(tabs->tabBar()->isHidden());
        QCOMPARE(tabs->count(), 2);
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
        QCOMPARE(f.hub->GetStatus(true), 1);
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

    // Before any characterization exists nothing is in error; an empty one is, and says why.
    void thePlaceholderIsNoErrorAndAnErrorAlwaysSaysWhy()
    {
        const QList<PropertyView*> views = f.tool->TabWidget()->findChildren<PropertyView*>();
        QCOMPARE(f.tool->Diagram()->StatusItem()->ValidationState(), 0);
        QVERIFY(views.first()->StatusText()->toPlainText().contains("create one"));

        f.tool->CreateCharacterization("Hero");
        QCOMPARE(f.tool->Diagram()->StatusItem()->ValidationState(), 3);
        QCOMPARE(views.first()->StatusText()->toPlainText(), QString("Missing required bones."));
    }

    // Both modes change what editing does; each page's property view says which are on.
    void lockAndMirrorModeAreSaidInWords()
    {
        f.tool->CreateCharacterization("Hero");
        f.BindBiped();
        const QList<PropertyView*> views = f.tool->TabWidget()->findChildren<PropertyView*>();
        QCOMPARE(views.size(), 2);
        f.tool->ToggleEditMode();
        f.tool->ToggleMirrorMode();
        for (const PropertyView* view : views)
            QCOMPARE(view->ModeLabel()->text(), QString("Locked \u00b7 Mirror mode on"));
        f.tool->ToggleEditMode();
        QCOMPARE(views.last()->ModeLabel()->text(), QString("Mirror mode on"));
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
};

QTEST_MAIN(CharacterToolTest)
#include "tst_charactertool.moc"
