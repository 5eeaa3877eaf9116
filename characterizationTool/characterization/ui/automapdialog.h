// The review dialog of the panel's "Auto Characterize": every proposed slot with a tick box.
#pragma once

#include "automapchange.h"
#include "automapproposal.h"

#include <QDialog>
#include <QStringList>

class QTableWidget;

// Lists a proposal one row per slot: slot, joint, confidence, runner-ups and reason (every cell's
// tooltip tells the whole row; a note above the table says why required slots are empty), with
// a tick box in
// the first column. Rows below the tick threshold start unticked. The dialog only reviews;
// the caller applies TickedBindings() after exec() accepts.
class AutoMapDialog : public QDialog
{
    Q_OBJECT
public:
    // `jointNames` are the host names of the skeleton the proposal indexes.
    AutoMapDialog(const AutoMapProposal& proposal, const QStringList& jointNames, QWidget* parent);

    // The rows ticked now, in node id order.
    QVector<AutoMapChange::Binding> TickedBindings() const;
    // The table, for tests.
    QTableWidget* Table() const { return m_table; }

private:
    QTableWidget* m_table; // child
    QVector<AutoMapChange::Binding> m_rows;
};
