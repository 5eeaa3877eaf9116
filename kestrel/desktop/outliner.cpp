#include "desktop/outliner.h"

#include "desktop/namefiltermodel.h"
#include "desktop/scenetreemodel.h"
#include "desktop/scenetreeview.h"
#include "host.h"
#include "scene/scene.h"
#include "script/scriptlexer.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel {

namespace {

// The rows as few ranges as possible: consecutive rows under one parent make one range.
// The selection model compares selections range by range, so a selection of thousands of
// sibling rows must not reach it as thousands of ranges.
QItemSelection RowRanges(QModelIndexList rows)
{
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) {
        if (a.parent() != b.parent())
            return a.parent() < b.parent();
        return a.row() < b.row();
    });
    QItemSelection ranges;
    for (int i = 0; i < rows.size();) {
        int last = i;
        while (last + 1 < rows.size() && rows[last + 1].parent() == rows[i].parent() &&
               rows[last + 1].row() <= rows[last].row() + 1)
            ++last;
        ranges.select(rows[i], rows[last]);
        i = last + 1;
    }
    return ranges;
}

} // namespace

Outliner::Outliner(Host& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_model(new SceneTreeModel(host, this))
    , m_proxy(new NameFilterModel(this))
    , m_filter(new QLineEdit(this))
    , m_view(new SceneTreeView(this))
{
    setObjectName(QStringLiteral("outliner"));
    m_proxy->setSourceModel(m_model);

    m_filter->setObjectName(QStringLiteral("outlinerFilter"));
    m_filter->setPlaceholderText(tr("Filter by name"));

    // Rows leaving the view (removed, filtered out, reset) drop out of its selection; that is
    // not a person choosing another selection, so it must not reach the host. Connected
    // before the view's selection model is, so the flag is up when that model reacts.
    const auto rowsChanging = [this] { m_rowsLeaving = true; };
    const auto rowsChanged = [this] { m_rowsLeaving = false; };
    connect(m_proxy, &QAbstractItemModel::rowsAboutToBeRemoved, this, rowsChanging);
    connect(m_proxy, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(m_proxy, &QAbstractItemModel::layoutAboutToBeChanged, this, rowsChanging);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, this, rowsChanged);
    connect(m_proxy, &QAbstractItemModel::modelAboutToBeReset, this, rowsChanging);
    connect(m_proxy, &QAbstractItemModel::modelReset, this, rowsChanged);

    m_view->setObjectName(QStringLiteral("outlinerTree"));
    m_view->setModel(m_proxy);
    m_view->setHeaderHidden(true);
    m_view->setUniformRowHeights(true); // rows are laid out without asking each one's size
    m_view->setIndentation(14);
    // Whole names, scrolled sideways when long: prefixes such as "Char1:" make the ends count.
    // The header measures at most its resize precision's rows, not the whole scene.
    m_view->header()->setStretchLastSection(false);
    m_view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_filter);
    layout->addWidget(m_view);

    connect(m_filter, &QLineEdit::textChanged, this, &Outliner::OnFilterChanged);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Outliner::OnViewSelectionChanged);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &Outliner::OnModelChangeEnded);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &Outliner::OnModelChangeEnded);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, &Outliner::OnModelChangeEnded);
    // A reset drops the view's selection: show the host's again.
    connect(m_model, &QAbstractItemModel::modelReset, this, &Outliner::ShowHostSelection);

    m_selectionCallback = host.GetScene().GetNotifier().AddSelectionChangedCallback(
        [this] { OnHostSelectionChanged(); });
    ShowHostSelection();
}

Outliner::~Outliner()
{
    m_host.GetScene().GetNotifier().RemoveCallback(m_selectionCallback);
}

void Outliner::OnFilterChanged(const QString& text)
{
    // Rows the filter brings back into expanded parents are laid out one by one: collapse
    // first, so that clearing a filter shown fully expanded costs no more than opening.
    m_view->collapseAll();
    m_proxy->SetFilterText(text);
    // Matches may sit deep in the hierarchy: show every one of them.
    if (!text.isEmpty())
        m_view->expandAll();
    ShowHostSelection();
}

void Outliner::OnViewSelectionChanged()
{
    if (m_showingSelection || m_rowsLeaving || m_model->IsChanging())
        return;
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    QStringList names;
    QString currentName;
    // The ranges themselves: selectedRows() tests every row against every range.
    QSet<const Node*> seen;
    for (const QModelIndex& row : m_view->selectionModel()->selection().indexes()) {
        const Node* node = m_model->NodeAt(m_proxy->mapToSource(row));
        if (!node || seen.contains(node))
            continue;
        seen.insert(node);
        if (row == current)
            currentName = node->Name();
        else
            names << ScriptLexer::Quote(node->Name());
    }
    if (!currentName.isEmpty())
        names << ScriptLexer::Quote(currentName);
    const QString script = names.isEmpty() ? QStringLiteral("select -clear")
                                           : QStringLiteral("select -r ") + names.join(' ');
    ExecuteOptions options;
    options.undoable = true;
    ScriptResult result;
    {
        const QScopedValueRollback<bool> writing(m_writingSelection, true);
        result = m_host.GetInterpreter().Execute(script, options);
    }
    if (result.status != Status::Success)
        ShowHostSelection();
}

void Outliner::OnHostSelectionChanged()
{
    if (m_writingSelection)
        return;
    if (m_model->IsChanging()) {
        m_selectionOutOfDate = true;
        return;
    }
    ShowHostSelection();
}

void Outliner::OnModelChangeEnded()
{
    if (m_selectionOutOfDate && !m_model->IsChanging())
        ShowHostSelection();
}

void Outliner::ShowHostSelection()
{
    if (m_model->IsChanging())
        return;
    m_selectionOutOfDate = false;
    const QScopedValueRollback<bool> showing(m_showingSelection, true);
    QModelIndexList rows;
    for (const Node* node : m_host.GetScene().GetSelection().Items()) {
        const QModelIndex row = m_proxy->mapFromSource(m_model->IndexOf(node));
        if (row.isValid()) // else filtered out
            rows << row;
    }
    const QModelIndex first = rows.value(0);
    m_view->ExpandAncestors(rows);
    // The selection model compares selections range by range, quadratic in their number:
    // clearing first leaves it nothing to compare with, and without the Rows flag (the model
    // has one column) it does not rebuild the ranges one merge at a time.
    QItemSelectionModel* selectionModel = m_view->selectionModel();
    selectionModel->clearSelection();
    selectionModel->select(RowRanges(std::move(rows)), QItemSelectionModel::Select);
    if (first.isValid()) {
        selectionModel->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        m_view->scrollTo(first);
    }
}

} // namespace kestrel
