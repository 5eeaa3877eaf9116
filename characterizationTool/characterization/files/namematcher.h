// String rules that see through character prefixes and side keywords in joint names.
#pragma once

#include "model/matchingsettings.h"
#include "model/nodecatalogue.h"

#include <QString>
#include <QStringList>
#include <QVector>

class IDCCHub;

// One node's entry in a naming template: the bone name without the character prefix (empty
// when the node is not part of the template), or the use-root flag when the node's bone is the
// skeleton's root object itself (the prefix without its trailing delimiter).
struct TemplateEntry
{
    QString name;
    bool useRoot = false;
};

// Highest position at which any delimiter occurs in `text` searching backwards from `from`
// (QString::lastIndexOf semantics, case-sensitive); -1 when none does.
int LastIndexOfAny(const QString& text, const QStringList& delimiters, int from);

// The prefix up to, not including, its last delimiter when that delimiter is not the first
// character; otherwise the whole prefix: "Char1:" -> "Char1", ":" -> ":".
QString PrefixRoot(const QString& prefix, const QStringList& delimiters);

// Prefix guessing and template matching under the user's matching settings. Host names are
// first passed through the hub's CleanNodeName. Neither the settings nor the hub are owned.
class NameMatcher
{
public:
    NameMatcher(const MatchingSettings& settings, IDCCHub* hub);

    // Guesses the character prefix of one joint name ("Char1:Hips" -> "Char1:",
    // "Bip01_L_Thigh" -> "Bip01_" with the keyword "L_"). Leaves `prefix` unchanged when no
    // delimiter is found; true when the prefix is not empty afterwards.
    bool GuessPrefixFromName(const QString& hostName, QString& prefix) const;
    // The first name of `names` that yields a prefix.
    bool GuessPrefix(const QStringList& names, QString& prefix) const;
    // The node a joint plays according to a template: the longest contained entry name
    // (Contains) or the first entry the name ends with or whose use-root flag matches `root`
    // (Suffix), case ignored. In-line roll nodes never match while roll nodes are skipped.
    bool MatchBoneToTemplate(const QString& hostName, const QString& root,
                             const QVector<TemplateEntry>& entries, NodeId& node) const;

private:
    QString CleanName(const QString& hostName) const;
    int StripTail(const QString& name) const;
    int CutBeforeMirrorKeyword(const QString& name, int cut) const;
    bool MatchContains(const QString& name, const QVector<TemplateEntry>& entries,
                       NodeId& node) const;
    bool MatchSuffix(const QString& name, const QString& root,
                     const QVector<TemplateEntry>& entries, NodeId& node, bool& viaRoot) const;

    const MatchingSettings& m_settings;
    IDCCHub* m_hub;
};
