// The Kestrel tests' quiet host, with readers of what the code under test sent to the host and
// left in its scene, and the tool command as host scripts call it.
#pragma once

#include "kestreltest.h"

#include <QString>
#include <QStringList>

// The tool's script command.
extern const QString kToolCmd;
// The tool panel's full name in the tool layout.
extern const QString kToolPanel;

class PluginHostTest : public HostTest
{
protected:
    // Runs `text`, expects success and answers the last result as a string array.
    QStringList RunOkList(const QString& text);

    // The tool command with `arguments`: RunOk, RunOkList and RunFails of it.
    QString Cmd(const QString& arguments) { return RunOk(kToolCmd + ' ' + arguments); }
    QStringList CmdList(const QString& arguments) { return RunOkList(kToolCmd + ' ' + arguments); }
    QString CmdFails(const QString& arguments) { return RunFails(kToolCmd + ' ' + arguments); }

    // Opens the scene file `path`. The first call also loads the plug-in and, with `panel`, makes
    // the tool layout and opens the panel in it.
    void OpenWithPlugin(const QString& path, bool panel);

    // Script texts the tool sent since the previous call (or since the fixture began). Scripts
    // run by the test itself (Run, RunOk...) do not enter the host's script log; the host's own
    // statements to the tool (a sync, a reconcile) are left out here.
    QStringList Sent();
    // Every text of the script log since the previous call, the host's to the tool included.
    QStringList AllSent();
    // Sent(), without the listing queries ("ls ...") that only read the scene.
    QStringList SentChanges();

    // Binds, on both sides as host scripts do, every sample joint "Char1:<slot name>" of the
    // slots up to `lastSlot` to that slot of `character`.
    void BindSample(const QString& character, int lastSlot);

    // The value of a node's attribute; none when the node or the attribute is missing.
    kestrel::Value Attribute(const QString& node, const QString& attribute);
    // The joint whose "Character" attribute feeds `character`.`slot`; empty when none.
    QString JointInSlot(const QString& character, const QString& slot);

private:
    int m_sentMark = 0;
    bool m_loaded = false;
};

// Path of a file in the repository's samples folder.
QString SamplePath(const QString& name);
// Path of a skeleton file in the shared skeleton folder; empty when it is absent.
QString SharedSkeleton(const QString& file);
