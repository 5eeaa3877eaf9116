// The host command that proposes a characterization from the skeleton's structure, and applies it.
#pragma once

#include "automapchange.h"
#include "script/command.h"
#include "script/syntax.h"

#include <QString>
#include <QStringList>
#include <memory>

class CharacterizationModel;
class CharacterizationToolWrapper;

// characterizationAutoMap, on the live tool:
//   -q [-root JOINT]             answers the proposal as a string array, one "NODEID JOINT
//                                CONFIDENCE" per proposed slot in node id order (confidence
//                                with two decimals);
//   -q -reasons [-root JOINT]    the same rows with their reasons and runner-ups, one
//                                "NODEID JOINT CONFIDENCE | reason | JOINT SCORE, JOINT SCORE"
//                                per row, and a last "note: ..." line when required slots
//                                stay empty;
//   -e -character NAME [-root JOINT]
//                                binds the rows the panel would tick (confidence at or above
//                                the tick threshold) in that characterization, which becomes
//                                current, and answers how many slots it bound. Undoable.
//   -e -review                   opens the panel's review dialog on the current
//                                characterization, as its Auto Characterize entry does;
//   -e -character NAME -rows "NODEID JOINT;..."
//                                binds exactly those rows instead (a reviewed proposal), the
//                                same way.
// -root limits the skeleton to that joint and its descendants. Fails with an error and
// changes nothing without an open tool, for a missing, unknown or placeholder character, a locked
// character, an unknown root, a skeleton that is not a biped (unless -rows is given), rows that
// name no slot or no joint of the skeleton, or without -q or -e.
class CharacterizationAutoMapCmd : public kestrel::Command
{
public:
    static const QString& CommandName();
    static kestrel::Syntax BuildSyntax();

    kestrel::Status Run(const kestrel::ArgumentList& arguments) override;
    kestrel::Status Undo() override;
    kestrel::Status Redo() override;
    bool IsUndoable() const override { return m_change != nullptr; }

private:
    kestrel::Status Fail(const QString& message);
    static bool ParseRows(const QString& text, const QStringList& names,
                          QVector<AutoMapChange::Binding>& bindings, QString& error);
    kestrel::Status Apply(CharacterizationToolWrapper& hub, CharacterizationModel& model,
                          const QVector<AutoMapChange::Binding>& bindings);
    // Records the bindings in the named characterization without telling the host.
    kestrel::Status Record(const QVector<AutoMapChange::Binding>& bindings);

    QString m_character;
    std::unique_ptr<AutoMapChange> m_change; // set once an edit has been applied
};
