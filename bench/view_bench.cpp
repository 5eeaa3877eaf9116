// Speed of the panel's views: typing in the joint chooser over a large scene, and an
// assignment reaching every view. Runs on the offscreen platform unless one is set.
#include "assignwithconfirmation.h"
#include "charactertool.h"
#include "model/characterizationmodel.h"
#include "property/completerwidget.h"
#include "scriptedhub.h"
#include "solver/nodenames.h"
#include "tposebiped.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSceneSize = 10000;

// A crowd of characters with the solver's node names: many names share long prefixes, as in
// a real scene with several skeletons.
QStringList CrowdNames()
{
    QStringList names;
    for (int i = 0; names.size() < kSceneSize; ++i) {
        for (NodeId id = 0; id < NodeCount && names.size() < kSceneSize; ++id)
            names << QStringLiteral("Crowd%1:%2")
                         .arg(i, 2, 10, QLatin1Char('0'))
                         .arg(QString::fromLatin1(kinetra::NodeName(id)));
    }
    return names;
}

// One key stroke in the chooser's field: the completer narrows the 10,000 names and its popup
// shows the matches. The typed text cycles through a name so every stroke narrows further,
// from the whole list down to one name.
void CompleterKeyStroke(benchmark::State& state)
{
    const QStringList names = CrowdNames();
    CompleterWidget chooser(nullptr, names, QString());
    chooser.show();
    QLineEdit* edit = chooser.ComboBox()->lineEdit();
    const QString typed = QStringLiteral("crowd17:leftha");
    int next = 0;
    for (auto _ : state) {
        if (next == typed.size()) {
            state.PauseTiming();
            edit->clear();
            next = 0;
            state.ResumeTiming();
        }
        QTest::keyClick(edit, typed.at(next++).toLatin1());
    }
    // What the whole typed text leaves: the left-hand names of one character.
    edit->clear();
    QTest::keyClicks(edit, typed);
    state.counters["matches"] = chooser.ComboBox()->completer()->completionCount();
}
BENCHMARK(CompleterKeyStroke)->Unit(benchmark::kMillisecond);

// A panel over the T-pose biped with everything bound but node 9 (LeftArm); each iteration
// binds LeftArm through the interactive assignment (no question: node and joint are free),
// which revalidates and lets the diagram, the tree and both property views redraw from the
// model. Clearing it again is not timed.
struct Panel
{
    QTemporaryDir appData;
    ScriptedHub hub;
    QWidget host;
    CharacterTool* tool; // owned by host

    Panel()
    {
        qputenv("APPDATA", appData.path().toUtf8());
        AddTPoseBiped(hub, QStringLiteral("Char:"));
        tool = new CharacterTool("", "", &host, &hub);
        tool->CreateCharacterization(QStringLiteral("Hero"));
        QStringList joints;
        hub.GetAllTransforms(joints);
        for (const QString& joint : joints) {
            NodeId node = -1;
            for (NodeId id = 0; id < NodeCount; ++id) {
                if (joint == QStringLiteral("Char:") + kinetra::NodeName(id))
                    node = id;
            }
            if (node != -1 && node != 9)
                tool->Model()->AssignNode(node, joint);
        }
        tool->Model()->Revalidate();
        host.resize(CharacterTool::kPanelWidth, CharacterTool::kPanelHeight);
        host.show();
    }
};

void AssignmentToEveryView(benchmark::State& state)
{
    Panel panel;
    CharacterizationModel& model = *panel.tool->Model();
    const bool paint = state.range(0) != 0;
    for (auto _ : state) {
        AssignWithConfirmation(&panel.host, model, 9, QStringLiteral("Char:LeftArm"));
        if (paint)
            QApplication::processEvents(); // the shown page repaints what changed
        state.PauseTiming();
        model.ClearNode(9);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    // Valid (1) once LeftArm is bound as in the last timed step.
    AssignWithConfirmation(&panel.host, model, 9, QStringLiteral("Char:LeftArm"));
    state.counters["overall"] = double(model.OverallValidation().status);
}
BENCHMARK(AssignmentToEveryView)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
