// The panel the host shows for the tool: owns the model and the tool paths, holds the pages.
#pragma once

#include "charactertooltabwidgetnotabbar.h"
#include "host/idcchub.h"
#include "templateactions.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class CharacterizationModel;
class DiagramWidget;
class IDCCHub;
class NameMatchWidget;
class ToolPaths;

// One per open host panel. Owns the tool's CharacterizationModel and ToolPaths and carries the
// panel-level actions (lock/unlock, mirror mode, delete), which the host reaches through the
// hub's helpers.
//
// The pages live in a tab widget that is a sibling of the tool under the host's parent widget,
// not a child of the tool; the tool still ends it in its destructor, because the pages read the
// model the tool owns.
//
// A tool built without a parent widget is an empty shell: no paths, no model, no pages, and the
// hub is not told about it. Every operation then does nothing.
class CharacterTool : public QWidget
{
    Q_OBJECT

public:
    // Preferred size of the panel in pixels, also the tab widget's minimum size.
    static constexpr int kPanelWidth = 279;
    static constexpr int kPanelHeight = 660;
    // Index of the "Figure" and "Name Match" pages.
    static constexpr int kFigurePage = 0;
    static constexpr int kNameMatchPage = 1;
    static constexpr int kPageCount = 2;

    // `pluginDir` is the folder the plug-in was loaded from, `resourceDir` the folder of the
    // shipped defaults (both UTF-8, may be null). `hub` is not owned and must outlive the tool;
    // the tool registers itself with it.
    CharacterTool(const char* pluginDir, const char* resourceDir, QWidget* parent, IDCCHub* hub);
    ~CharacterTool() override;

    // The hub given at construction, not owned.
    IDCCHub* Hub() const { return m_hub; }
    // Owned by the tool; null for a tool built without a parent.
    CharacterizationModel* Model() const { return m_model.get(); }
    ToolPaths* Paths() const { return m_paths.get(); }
    // The body diagram on the "Figure" page, owned by that page; null without a parent.
    DiagramWidget* Diagram() const;
    // The node tree on the "Name Match" page, owned by that page; null without a parent.
    NameMatchWidget* NameMatch() const;
    // The page switcher, owned by the host's parent widget; null without a parent.
    CharacterToolTabWidgetNoTabBar* TabWidget() const { return m_tabWidget; }

    // The shown page, or -1 without pages.
    int CurrentPage() const;
    // Shows page `index`; an index outside the pages is ignored.
    void SetCurrentPage(int index);

    // Adds a characterization named `name` (watched through the hub) and makes it current,
    // unless one of exactly that name exists, in which case nothing happens.
    void CreateCharacterization(const QString& name);

    // Template matching never yields the in-line roll nodes from now on. Called once by the
    // host bridge after construction.
    void SkipRollNodesInMatching();

    // Whether OnDelete asks before deleting. True except while a hub helper deletes without
    // asking; that helper sets it back to true.
    bool AskBeforeDelete() const { return m_askBeforeDelete; }
    void SetAskBeforeDelete(bool ask) { m_askBeforeDelete = ask; }

    QSize sizeHint() const override;

signals:
    // The host runs its stance fix on the current characterization; the tool cannot turn
    // joints itself.
    void FixStanceRequested();

public slots:
    // Saves the current characterization to a characterization file chosen by the user.
    void OnSave();
    // Applies a naming template chosen by the user to the scene's bones.
    void AutoMatch();
    // Extracts a naming template from the current characterization.
    void ExtractTemplate();
    // Proposes a characterization from the scene's skeleton, shows it for review and applies
    // the ticked rows to the current characterization.
    void AutoCharacterize();
    // Asks the host to turn the joints so the pose rules pass (FixStanceRequested).
    void FixStance();
    // Edits the mirror keyword pairs; accepted changes reach the model at once.
    void ConfigMirror();
    // Deletes the current characterization (asking first when AskBeforeDelete) and tells the
    // host; then the first remaining one becomes current, or a new default one is made.
    void OnDelete();
    // Connected to the model's ModelChanged(); the panel itself has nothing to redraw.
    void SyncOnModel();
    // Makes characterization `index` current; an index outside the list is ignored.
    void SetCharacterization(int index);
    // Flips the model's mirror mode; the model emits MirrorModeChanged, not ModelChanged.
    void ToggleMirrorMode();
    // Locks a valid (or warned) characterization, or unlocks a locked one. Locking an invalid
    // one only shows a warning. Unlocking when assigned joints have left the scene asks first;
    // OK unlocks and clears exactly those nodes, Cancel keeps the lock.
    void ToggleEditMode();

private:
    void BuildPages(QWidget* parent);
    QWidget* AddPage(const QString& title);
    void Lock();
    void Unlock();

    // Destroyed explicitly in the destructor: the pages first, then the paths, then the model.
    std::unique_ptr<ToolPaths> m_paths;
    IDCCHub* m_hub;
    std::unique_ptr<CharacterizationModel> m_model;
    QPointer<CharacterToolTabWidgetNoTabBar> m_tabWidget; // the host parent may end it first
    QPointer<DiagramWidget> m_diagram;                    // inside the tab widget
    QPointer<NameMatchWidget> m_nameMatchWidget;          // inside the tab widget
    std::unique_ptr<TemplateActions> m_templateActions;
    bool m_askBeforeDelete = true;
};

// The hub's link to its tool needs the tool's full type, so it is defined here rather than in
// the hub's library, which knows no widgets.
inline void IDCCHub::SetTool(CharacterTool* tool)
{
    m_tool = tool;
}

inline CharacterTool* IDCCHub::Tool() const
{
    return m_tool.data();
}
