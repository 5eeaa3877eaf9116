// A quiet Kestrel host for the plug-in's tests, with script helpers and readers of what the
// plug-in sent to the host and left in its scene.
#pragma once

#include "host.h"
#include "node.h"
#include "scene.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for Qt strings and lists.
void PrintTo(const QString& text, std::ostream* out);
void PrintTo(const QStringList& list, std::ostream* out);

// The host keeps its output, errors and script texts in its logs instead of printing them.
class QuietHostTest : public ::testing::Test
{
protected:
    QuietHostTest();

    kestrel::Scene& scene() { return host.GetScene(); }
    kestrel::Node* Find(const QString& name) { return scene().Find(name); }

    // Runs `text` as a host script would (undoable), without entering the script log, so the
    // log holds only what the code under test sent.
    kestrel::ScriptResult Run(const QString& text);
    // Runs `text`, expects success and answers the last result as text.
    QString RunOk(const QString& text);
    // Runs `text`, expects success and answers the last result as a string array.
    QStringList RunOkList(const QString& text);
    // Runs `text`, expects failure with an error displayed and answers that error.
    QString RunFails(const QString& text);

    // Script texts sent since the previous call (or since the fixture began).
    QStringList Sent();
    // Sent(), without the listing queries ("ls ...") that only read the scene.
    QStringList SentChanges();

    // The value of a node's attribute; none when the node or the attribute is missing.
    kestrel::Value Attribute(const QString& node, const QString& attribute);
    // The joint whose "Character" attribute feeds `character`.`slot`; empty when none.
    QString JointInSlot(const QString& character, const QString& slot);

    kestrel::Host host;

private:
    int m_sentMark = 0;
};

// Path of a file in the repository's samples folder.
QString SamplePath(const QString& name);
