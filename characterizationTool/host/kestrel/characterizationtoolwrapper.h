// The hub on the Kestrel host: scene queries, host scripts and node watches for the tool.
#pragma once

#include "charactertool.h"
#include "host/idcchub.h"
#include "kestreljointsampler.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace kestrel {
class Host;
class Node;
} // namespace kestrel

// Owns the tool widget of one panel; answers the tool's questions from the Kestrel scene,
// sends the host's character scripts, and turns scene notifications (selection, renames,
// removals) into the hub's signals. Every callback it installs is removed before it goes, so
// none can outlive it. The host must outlive the bridge.
class CharacterizationToolWrapper : public IDCCHub
{
    Q_OBJECT

public:
    // The two layouts the tool can live in, tried in this order.
    static const char* const kToolLayout;
    static const char* const kFallbackLayout;

    // `loadFolder` is the plug-in's folder, `resourceFolder` the folder of its shipped defaults.
    CharacterizationToolWrapper(kestrel::Host& host, const QString& loadFolder,
                                const QString& resourceFolder);
    ~CharacterizationToolWrapper() override;

    // Builds the tool in the host's tool layout (or the fallback one) unless it exists, and
    // starts following the host's selection. Without either layout no tool is made.
    void AttachTool();
    // The tool made by AttachTool, while it lives.
    CharacterTool* AttachedTool() const { return m_tool; }

    const QString& GetHostName() const override;
    const QStringList& GetSelectedTransforms() override;
    bool IsTransform(const QString& node) override;
    int GetNodeTransform(const QString& node, int nodeId, NodeTransformRecord& record,
                         bool worldSpace) override;
    bool GetParentName(const QString& node, QString& parent) override;
    void AddNodeCallbacks(const QString& node) override;
    void RemoveNodeCallbacks(const QString& node) override;
    void GetAllTransforms(QStringList& names) override;
    void SelectNode(const QString& node) override;
    void SetCharacterObject(const QString& previousObject, const QString& object,
                            const QString& characterName, int nodeId, bool flag) override;
    void DeleteCharacter(const QString& characterName) override;
    void UpdateCharacterControlsUI() override;
    void AddCharacterizationNodeCallbacks(const QString& characterName) override;
    void RemoveCharacterizationNodeCallbacks(const QString& characterName) override;
    void InvertBone(int partNodeId, bool inverted) override;
    bool LoadInversionStates(const QString& characterName) override;
    QString CleanNodeName(const QString& hostName) override;
    void WarnFileNotWritten(const QString& path) override;
    // Through characterizationAutoMap -rows: one undo step, the tool's record following it.
    bool BindAsOneStep(const QString& characterName,
                       const QVector<QPair<int, QString>>& bindings) override;

    // Number of host callbacks recorded under a node name (0 when none).
    int WatchCount(const QString& node) const;

    // `text` as a double-quoted string of the host's script language. Quotes, backslashes,
    // line breaks and tabs are escaped, so no text can end the string or start a statement.
    static QString ScriptString(const QString& text);

private slots:
    // Asks the host for a new character node made from the current one.
    void CreateCharacterNode(bool);

private:
    kestrel::Node* Lookup(const QString& name) const;
    bool SceneBeingReset() const;
    void RunScript(const QString& text, bool undoable);
    QStringList RunListing(const QString& text);
    void Record(const QString& name, const kestrel::Node& node, quint64 callbackId);
    // Files the watches of node `nodeId` recorded under `previous` under `name` instead.
    void Rekey(quint64 nodeId, const QString& previous, const QString& name);
    // Removes the selection callback and every recorded watch from the host.
    void StopWatching();

    kestrel::Host& m_host;
    KestrelJointSampler m_sampler;
    QString m_loadFolder;
    QString m_resourceFolder;
    QString m_hostName = QStringLiteral("Kestrel");
    QStringList m_selection;
    quint64 m_selectionWatch = 0;
    QPointer<CharacterTool> m_tool;
    // One installed host callback and the scene node (by id) it watches.
    struct Watch
    {
        quint64 nodeId;
        quint64 callbackId;
    };
    std::map<QString, std::vector<Watch>> m_watches; // node name as given -> its watches
};
