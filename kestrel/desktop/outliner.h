// The outliner: the scene hierarchy as a tree, with a name filter and the shared selection.
#pragma once

#include "scene/scenenotifier.h"

#include <QWidget>

class QLineEdit;

namespace kestrel {

class Host;
class NameFilterModel;
class SceneTreeModel;
class SceneTreeView;

// A filter line and a tree of the scene's nodes (SceneTreeModel through a NameFilterModel: a
// node is shown when its name contains the filter text, ignoring case, or when one of its
// descendants' names does).
//
// The selection is the host's: selecting rows runs "select -r ..." (or "select -clear")
// through the script interpreter as one undo step, with the current row last so that it is
// the last selected node; when the host's selection changes by any other way, the outliner
// selects those rows, expands their ancestors and scrolls to the first one. Names are edited
// in place (double click or F2) and renamed through the "rename" command.
//
// The host must outlive the widget.
class Outliner : public QWidget
{
    Q_OBJECT

public:
    explicit Outliner(Host& host, QWidget* parent = nullptr);
    ~Outliner() override;

    SceneTreeModel* Model() const { return m_model; }
    NameFilterModel* FilterModel() const { return m_proxy; }
    SceneTreeView* View() const { return m_view; }
    QLineEdit* FilterEdit() const { return m_filter; }

private:
    void OnFilterChanged(const QString& text);
    void OnViewSelectionChanged();
    void OnHostSelectionChanged();
    void OnModelChangeEnded();
    // Shows the host's selection in the view without writing it back.
    void ShowHostSelection();

    Host& m_host;
    SceneTreeModel* m_model = nullptr;  // child of this widget
    NameFilterModel* m_proxy = nullptr; // child of this widget
    QLineEdit* m_filter = nullptr;
    SceneTreeView* m_view = nullptr;
    CallbackId m_selectionCallback = 0;
    bool m_writingSelection = false;   // the view's selection is being sent to the host
    bool m_showingSelection = false;   // the host's selection is being shown in the view
    bool m_selectionOutOfDate = false; // the host's selection changed while the model was busy
    bool m_rowsLeaving = false;        // rows are leaving the view: its selection shrinks by itself
};

} // namespace kestrel
