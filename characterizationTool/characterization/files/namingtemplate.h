// Naming templates: extracting one from a characterization, its file, and applying it.
#pragma once

#include "namematcher.h"

#include <QString>
#include <QVector>

class CharacterizationModel;

// Which scene bones a template is applied to.
enum class MatchScope : int
{
    PrefixedBones = 0, // every scene transform containing the prefix, or equal to its root
    SelectedBones = 1, // the host's selection
};

// A template file is a settings document whose root holds the flagged list "match_list"
// (flag attribute "use_root", default false): one "item" per node id in order, "key" = the
// node's catalogue name, "value" = the entry's name. Reading goes by position; the keys are
// not consulted, a shorter list gives a shorter template and items past the last node are
// ignored.
class NamingTemplate
{
public:
    // The 212 entries of the model's current characterization seen through `prefix`: bones
    // starting with the prefix lose it; a bone equal to the prefix root becomes a use-root
    // entry; any other bone is left out.
    static QVector<TemplateEntry> BuildTemplateEntries(const CharacterizationModel& model,
                                                       const QString& prefix);
    // Replaces "match_list" in the document at `path`, keeping its other content. False when
    // the file could not be written (or refuses the list: its first node is no element).
    static bool WriteTemplate(const QString& path, const QVector<TemplateEntry>& entries);
    static QVector<TemplateEntry> ReadTemplate(const QString& path);

    // Builds and writes the template and, once written, sets the model's last operation.
    // False, with the last operation unchanged, when the file could not be written.
    static bool SaveTemplate(CharacterizationModel& model, const QString& path,
                             const QString& prefix);
    // Binds every bone in scope that matches an entry (a later bone replaces an earlier one
    // on the same node), sets the model's last operation and revalidates when unlocked.
    static void ApplyTemplate(CharacterizationModel& model, const QString& path, MatchScope scope,
                              const QString& prefix);
};
