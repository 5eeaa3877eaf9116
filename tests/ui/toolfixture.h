// A panel in a host widget over a scripted T-pose biped scene, for the main widget's tests.
#pragma once

#include "charactertool.h"
#include "files/toolpaths.h"
#include "model/characterizationmodel.h"
#include "scriptedhub.h"
#include "tposebiped.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Press, release, double click, release at `at` in `viewport`: what a window system delivers.
inline void WindowDoubleClick(QWidget* viewport, const QPoint& at)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
}

// Start() in init(), Stop() in cleanup(). The per-user folders go to a temporary APPDATA,
// set before the first tool is made.
struct ToolFixture
{
    QTemporaryDir appData;
    std::unique_ptr<ScriptedHub> hub; // outlives the host widget and the tool in it
    std::unique_ptr<QWidget> host;
    QPointer<CharacterTool> tool; // owned by host
    QVector<BipedJoint> biped;

    void Start()
    {
        QVERIFY(appData.isValid());
        qputenv("APPDATA", appData.path().toUtf8());
        hub = std::make_unique<ScriptedHub>();
        biped = AddTPoseBiped(*hub, QStringLiteral("Char:"));
        host = std::make_unique<QWidget>();
        tool = new CharacterTool("", "", host.get(), hub.get());
    }

    void Stop()
    {
        host.reset();
        hub.reset();
    }

    CharacterizationModel& Model() const { return *tool->Model(); }
    Characterization& Current() const { return *Model().CurrentCharacterization(); }

    // Binds every joint of the biped and validates: overall Valid.
    void BindBiped()
    {
        for (const BipedJoint& joint : biped)
            Model().AssignNode(joint.node, joint.name);
        Model().Revalidate();
    }

    QStringList Names() const
    {
        QStringList names;
        for (int i = 0; i < Model().CharacterizationCount(); ++i)
            names << Model().CharacterizationAt(i)->Name();
        return names;
    }
};
