#include "automapdialog.h"

#include "solver/nodenames.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

AutoMapDialog::AutoMapDialog(const AutoMapProposal& proposal, const QStringList& jointNames,
                             QWidget* parent)
    : QDialog(parent)
    , m_table(new QTableWidget(proposal.entries.size(), 5, this))
{
    setWindowTitle(tr("Auto Characterize"));
    setModal(true);
    m_table->setHorizontalHeaderLabels(
        {tr("Slot"), tr("Joint"), tr("Confidence"), tr("Runner-ups"), tr("Reason")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < proposal.entries.size(); ++row) {
        const AutoMapSlot& slot = proposal.entries[row];
        m_rows.append({slot.node, jointNames.value(slot.joint)});
        auto* name = new QTableWidgetItem(QString::fromLatin1(kinetra::NodeName(slot.node)));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        name->setCheckState(slot.confidence >= AutoMapProposal::kTickThreshold ? Qt::Checked
                                                                               : Qt::Unchecked);
        m_table->setItem(row, 0, name);
        m_table->setItem(row, 1, new QTableWidgetItem(m_rows.last().joint));
        m_table->setItem(row, 2, new QTableWidgetItem(QString::number(slot.confidence, 'f', 2)));
        m_table->setItem(row, 3,
                         new QTableWidgetItem(AutoMapProposal::RunnerUpText(slot, jointNames)));
        m_table->setItem(row, 4, new QTableWidgetItem(slot.reason));
        // The reason column is cut off in a narrow dialog: every cell tells the whole row.
        const QString tip =
            tr("%1 → %2 (%3)\n%4\nRunner-ups: %5")
                .arg(name->text(), m_rows.last().joint, QString::number(slot.confidence, 'f', 2),
                     slot.reason, AutoMapProposal::RunnerUpText(slot, jointNames));
        for (int column = 0; column < m_table->columnCount(); ++column)
            m_table->item(row, column)->setToolTip(tip);
    }
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(tr("Apply"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    if (!proposal.note.isEmpty())
        layout->addWidget(new QLabel(proposal.note, this));
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(900, 480);
}

QVector<AutoMapChange::Binding> AutoMapDialog::TickedBindings() const
{
    QVector<AutoMapChange::Binding> ticked;
    for (int row = 0; row < m_rows.size(); ++row)
        if (m_table->item(row, 0)->checkState() == Qt::Checked)
            ticked.append(m_rows[row]);
    return ticked;
}
