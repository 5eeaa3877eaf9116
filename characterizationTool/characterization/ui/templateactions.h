// The panel's template actions: extract a naming template, apply one.
#pragma once

#include <QString>

class CharacterizationModel;
class QWidget;
class ToolPaths;

// Runs the extract and apply interactions with their dialogs and warning boxes, centred on
// `parent`. Remembers, for the panel's lifetime, the folder the last template was saved to.
class TemplateActions
{
public:
    TemplateActions(QWidget* parent, CharacterizationModel& model, const ToolPaths& paths);

    // Proposes name, prefix and folder from the characterization, asks, and saves the template.
    void ExtractTemplate();
    // Asks for a template, prefix and scope, and binds the matching scene bones.
    void ApplyTemplate();

private:
    void Warn(const QString& title, const QString& text) const;
    QString TemplateDirectory() const;
    bool CanWriteTo(const QString& directory, const QString& path) const;

    QWidget* m_parent;
    CharacterizationModel& m_model;
    const ToolPaths& m_paths;
    QString m_lastDirectory;
};
