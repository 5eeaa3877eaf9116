// The Kestrel tests' quiet host, with readers of what the code under test sent to the host and
// left in its scene.
#pragma once

#include "kestreltest.h"

#include <QString>
#include <QStringList>

class PluginHostTest : public HostTest
{
protected:
    // Runs `text`, expects success and answers the last result as a string array.
    QStringList RunOkList(const QString& text);

    // Script texts sent since the previous call (or since the fixture began). Scripts run by
    // the test itself (Run, RunOk...) do not enter the host's script log.
    QStringList Sent();
    // Sent(), without the listing queries ("ls ...") that only read the scene.
    QStringList SentChanges();

    // The value of a node's attribute; none when the node or the attribute is missing.
    kestrel::Value Attribute(const QString& node, const QString& attribute);
    // The joint whose "Character" attribute feeds `character`.`slot`; empty when none.
    QString JointInSlot(const QString& character, const QString& slot);

private:
    int m_sentMark = 0;
};

// Path of a file in the repository's samples folder.
QString SamplePath(const QString& name);
