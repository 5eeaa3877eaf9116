// The body diagram on the panel's "Figure" page, driven with the mouse as a user would.
#include "diagram/diagramwidget.h"
#include "diagram/inversionitem.h"
#include "diagram/partitem.h"
#include "diagramlayout/diagramlayout.h"
#include "loadpixmap.h"
#include "modalanswerer.h"
#include "toolfixture.h"

#include <QMenu>
#include <QToolTip>

#include <functional>

namespace {

// Left, right and the full body: the first page-0 arrow opens the left hand.
constexpr int kLeftHandsPage = 1;

// The pixel nearest the item's centre where a click hits the item itself: where a user aims.
QPoint CentreOf(const DiagramWidget& diagram, const PartItem* item)
{
    const QRect box = diagram.mapFromScene(item->sceneBoundingRect()).boundingRect();
    QPoint best(-1, -1);
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QPoint at(x, y);
            if (diagram.ItemAt(at) == item &&
                (best.x() < 0 ||
                 (at - box.center()).manhattanLength() < (best - box.center()).manhattanLength()))
                best = at;
        }
    }
    return best;
}

int MaxAlpha(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int alpha = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            alpha = std::max(alpha, qAlpha(image.pixel(x, y)));
    }
    return alpha;
}

} // namespace

class DiagramWidgetTest : public QObject
{
    Q_OBJECT

private:
    ToolFixture f;
    DiagramWidget* diagram = nullptr;

    PartItem* Part(int node) const { return diagram->FindPartItem(node); }
    void Click(int node, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(diagram->viewport(), button, {}, CentreOf(*diagram, Part(node)));
    }
    // A press and release come before the double click, as from a real mouse.
    void DoubleClick(int node)
    {
        Click(node);
        QTest::mouseDClick(diagram->viewport(), Qt::LeftButton, {}, CentreOf(*diagram, Part(node)));
    }
    QStringList RightClickAndChoose(const QPoint& at, const QString& entry)
    {
        return ChooseInMenu(
            [&] { QTest::mouseClick(diagram->viewport(), Qt::RightButton, {}, at); }, entry);
    }
    void MoveMouse(const QPoint& at)
    {
        QMouseEvent move(QEvent::MouseMove, at, diagram->viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(diagram->viewport(), &move);
    }
    void SelectInHost(const QStringList& joints)
    {
        f.hub->Select(joints);
        emit f.hub->selectionChanged();
    }

private slots:
    void init()
    {
        f.Start();
        f.tool->CreateCharacterization("Hero");
        f.host->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.host.get()));
        diagram = f.tool->Diagram();
        QVERIFY(diagram);
    }
    void cleanup() { f.Stop(); }

    void aDoubleClickedPartTakesTheNextSingleHostSelection()
    {
        f.Model().AssignNode(10, "Char:LeftArm"); // the joint sits on the wrong slot
        f.Model().Revalidate();
        DoubleClick(9);
        QCOMPARE(f.Model().EditedPart(), 9);
        QVERIFY(f.Model().IsEditedPartReadWrite());
        QCOMPARE(Part(9)->Interaction(), 2);
        // The picked part stands out: every other part of the page is faded.
        QCOMPARE(MaxAlpha(Part(1)->BasePixmap()), 75);
        QCOMPARE(MaxAlpha(Part(9)->BasePixmap()), 255);

        SelectInHost({"Char:LeftArm", "Char:Hips"});
        QCOMPARE(f.Model().JointOfNode(9), QString());
        QCOMPARE(Part(9)->Interaction(), 2);

        ModalAnswerer answers;
        answers.Click("OK");
        SelectInHost({"Char:LeftArm"});
        QCOMPARE(answers.Seen().size(), 1); // the joint's other node is cleared after asking
        QCOMPARE(f.Model().JointOfNode(9), QString("Char:LeftArm"));
        QCOMPARE(f.Model().JointOfNode(10), QString());
        QCOMPARE(f.Model().EditedPart(), 9);
        QVERIFY(!f.Model().IsEditedPartReadWrite());
        QCOMPARE(Part(9)->Interaction(), 1);
        QCOMPARE(Part(9)->ToolTipText(), QString("LeftArm - Char:LeftArm"));
        QCOMPARE(MaxAlpha(Part(1)->BasePixmap()), 255);
    }

    void arrowsAndTheEditedNodeChooseThePage()
    {
        const DiagramPage& fullBody = diagram->Page(0);
        PartItem* toLeftHands = fullBody.arrows.key(kLeftHandsPage);
        QVERIFY(toLeftHands);
        QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {}, CentreOf(*diagram, toLeftHands));
        QCOMPARE(diagram->CurrentPage(), kLeftHandsPage);
        QVERIFY(!toLeftHands->isVisible());
        PartItem* back = diagram->Page(kLeftHandsPage).arrows.firstKey();
        QVERIFY(back->isVisible());
        QTest::mouseClick(diagram->viewport(), Qt::LeftButton, {}, CentreOf(*diagram, back));
        QCOMPARE(diagram->CurrentPage(), 0);

        // Another view selecting a finger brings its page up, selected; the in-line roll nodes
        // have no part and leave nothing marked.
        f.Model().SetEditedPart(60, false);
        QCOMPARE(diagram->CurrentPage(), kLeftHandsPage);
        QCOMPARE(diagram->EditedItem(), Part(60));
        QCOMPARE(Part(60)->Interaction(), 1);
        f.Model().SetEditedPart(41, false);
        QCOMPARE(diagram->EditedItem(), nullptr);
        QCOMPARE(Part(60)->Interaction(), 0);
    }

    // The second click of a double click on a full-body arrow lands on the page the first one
    // opened; it picks nothing there, whatever part lies under the pointer.
    void aDoubleClickOnAnArrowOnlyOpensItsPage()
    {
        const DiagramPage& fullBody = diagram->Page(0);
        int landedOnAPart = 0;
        for (auto it = fullBody.arrows.cbegin(); it != fullBody.arrows.cend(); ++it) {
            diagram->ShowView(0);
            const QPoint at = CentreOf(*diagram, it.key());
            WindowDoubleClick(diagram->viewport(), at);
            QCOMPARE(diagram->CurrentPage(), it.value());
            QVERIFY2(!f.Model().IsEditedPartReadWrite(), qPrintable(it.key()->Label()));
            const PartItem* below = diagram->ItemAt(at);
            if (below && diagram->Page(it.value()).parts.contains(const_cast<PartItem*>(below)))
                ++landedOnAPart;
        }
        QVERIFY(landedOnAPart > 0); // the case that matters did occur
    }

    // Image rectangles overlap: a click belongs to the drawing on top. Every part and arrow is
    // hit on most of its own drawing and never where it is transparent.
    void partsAreHitOnTheirDrawingNotTheirRectangle()
    {
        for (int index = 0; index < DiagramLayout::Instance().views.size(); ++index) {
            diagram->ShowView(index);
            const DiagramPage& page = diagram->Page(index);
            const QList<PartItem*> items = page.parts.toList() + page.arrows.keys();
            for (PartItem* item : items) {
                const QImage image =
                    item->BasePixmap().toImage().convertToFormat(QImage::Format_ARGB32);
                int drawn = 0;
                int own = 0;
                for (int y = 0; y < image.height(); y += 2) {
                    for (int x = 0; x < image.width(); x += 2) {
                        const QPoint at = diagram->mapFromScene(item->scenePos() + QPointF(x, y));
                        const bool hit = diagram->ItemAt(at) == item;
                        const bool opaque = qAlpha(image.pixel(x, y)) >= 128;
                        QVERIFY2(opaque || !hit, qPrintable(item->Label() + " hit where clear"));
                        drawn += opaque ? 1 : 0;
                        own += opaque && hit ? 1 : 0;
                    }
                }
                QVERIFY2(own * 2 > drawn, qPrintable(item->Label()));
            }
        }
    }

    void theContextMenuActsOnThePartUnderTheClick()
    {
        f.BindBiped();
        InversionItem* knee = diagram->FindInversionItem(3);
        QVERIFY(knee->IsShowingInverted());
        // Hovering the left leg shows its name and the knee's marker, until the pointer leaves.
        const QPoint corner = diagram->mapFromScene(QPointF(3, 377));
        MoveMouse(corner);
        QVERIFY(!knee->isVisible());
        MoveMouse(CentreOf(*diagram, Part(3)));
        QVERIFY(knee->isVisible());
        QCOMPARE(QToolTip::text(), QString("LeftLeg - Char:LeftLeg"));
        // The view's own tooltip event, sent while the pointer rests there, keeps the name up.
        const QPoint onLeg = CentreOf(*diagram, Part(3));
        QHelpEvent rest(QEvent::ToolTip, onLeg, diagram->viewport()->mapToGlobal(onLeg));
        QApplication::sendEvent(diagram->viewport(), &rest);
        QTest::qWait(500); // longer than a tooltip takes to hide
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QString("LeftLeg - Char:LeftLeg"));
        MoveMouse(corner);
        QVERIFY(!knee->isVisible());

        RightClickAndChoose(CentreOf(*diagram, Part(3)), "Invert Joint");
        QCOMPARE(kinetra::GetInversionFlag(f.Current().InversionFlags(), 0), 1u);
        QVERIFY(!knee->IsShowingInverted());

        const QStringList onFoot = RightClickAndChoose(CentreOf(*diagram, Part(4)), "Clear");
        QVERIFY(onFoot.contains("Invert Joint (off)"));
        QVERIFY(onFoot.contains("Change Assigned Bone..."));
        QCOMPARE(f.Model().JointOfNode(4), QString());
        QCOMPARE(f.Model().JointOfNode(3), QString("Char:LeftLeg"));
        QCOMPARE(Part(4)->ValidationState(), 0);
        f.hub->Select({"Char:LeftFoot"});
        RightClickAndChoose(CentreOf(*diagram, Part(4)), "Assign Selected Bone");
        QCOMPARE(f.Model().JointOfNode(4), QString("Char:LeftFoot"));
        QCOMPARE(f.Model().EditedPart(), 4);
        QVERIFY(!f.Model().IsEditedPartReadWrite());

        // On the bare background and on the status light only the page-wide entries are offered.
        QCOMPARE(diagram->ItemAt(corner), nullptr);
        const QStringList pageWide{"Assign Selected Bone (off)",
                                   "Change Assigned Bone... (off)",
                                   "Auto Characterize",
                                   "Fix Stance",
                                   "Clear (off)",
                                   "Clear All in View",
                                   "Clear All",
                                   "Invert Joint (off)",
                                   "Name Match View"};
        QCOMPARE(RightClickAndChoose(CentreOf(*diagram, diagram->StatusItem()), {}), pageWide);
        QCOMPARE(RightClickAndChoose(corner, "Name Match View"), pageWide);
        QCOMPARE(f.tool->CurrentPage(), 1);
    }

    // The first roll part of a limb also stands for the limb's in-line roll node (41 for the
    // left thigh), which has no part of its own, and so does the full-body arrow to its page.
    void aRollPageShowsTheInlineRollNodeThroughItsFirstPart()
    {
        constexpr int kLeftHipRollPage = 13;
        f.BindBiped();
        f.Model().AssignNode(41, "Char:LeftUpLeg");
        f.Model().Revalidate();
        PartItem* roll = Part(172);
        PartItem* arrow = diagram->Page(0).arrows.key(kLeftHipRollPage);
        const int inlineState = int(f.Model().NodeValidationOf(41).status);
        QVERIFY(inlineState != 0);
        QCOMPARE(roll->ValidationState(), inlineState);
        QCOMPARE(roll->Label(), QString("LeftUpLegRoll - Char:LeftUpLeg"));
        QCOMPARE(arrow->ValidationState(), inlineState);
        f.hub->JointNamed("Char:LeftUpLeg").world.Translate[1] = NAN; // in error, no leaf in use
        f.Model().Revalidate();
        QCOMPARE(arrow->ValidationState(), 3);

        f.Model().AssignNode(172, "Char:LeftLeg"); // in-line and leaf rolls together
        f.Model().Revalidate();
        QCOMPARE(roll->ValidationState(), 3);
        QCOMPARE(roll->ToolTipText(),
                 QString("\nMixing In-Line and Leaf roll bone is not allowed"));
        QCOMPARE(arrow->ValidationState(), 3);

        f.Model().SetEditedPart(172, false);
        QCOMPARE(diagram->CurrentPage(), kLeftHipRollPage);
        RightClickAndChoose(CentreOf(*diagram, roll), "Clear");
        QCOMPARE(f.Model().JointOfNode(172), QString());
        QCOMPARE(f.Model().JointOfNode(41), QString());
        QCOMPARE(roll->ValidationState(), 0);
        f.Model().AssignNode(172, "Char:LeftLeg"); // a leaf alone: the arrow shows the leaves
        f.Model().Revalidate();
        QCOMPARE(arrow->ValidationState(), 1);
    }

    // Each part shows the image of its node's status, in every one of the four states.
    void everyPartShowsItsStatusAfterTheModelChanged()
    {
        f.BindBiped();
        f.hub->SetTranslation("Char:LeftForeArm", 70, 145, 0); // on the hand: both in error
        f.hub->SetTranslation("Char:Head", 0, 152, 0);         // on the neck: both warned
        f.Model().ClearNode(14);                               // right hand not set
        f.Model().Revalidate();
        const DiagramLayout& layout = DiagramLayout::Instance();
        const DiagramPage& page = diagram->Page(0);
        QSet<int> statesSeen;
        for (int i = 0; i < page.parts.size(); ++i) {
            const PartItem* part = page.parts.at(i);
            const int state = int(f.Model().NodeValidationOf(part->Node()).status);
            statesSeen.insert(state);
            QCOMPARE(part->ValidationState(), state);
            const QString image = layout.stateRepresentation.ImageName(
                layout.views.first().parts.at(i).imageBase, state);
            QVERIFY2(part->BasePixmap().toImage() == LoadPixmap(image).toImage(),
                     qPrintable(image));
        }
        QCOMPARE(statesSeen, (QSet<int>{0, 1, 2, 3}));
    }
};

QTEST_MAIN(DiagramWidgetTest)
#include "tst_diagramwidget.moc"
