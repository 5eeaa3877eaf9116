// The dialog that picks a naming template, a prefix and which bones to apply it to.
#pragma once

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;

// Lists the templates of `templateDirectory` (last name first) and "<Browse...>" for a file
// elsewhere; proposes `prefix`; offers the two match scopes.
class ApplyTemplateDialog : public QDialog
{
    Q_OBJECT

public:
    ApplyTemplateDialog(QWidget* parent, const QString& templateDirectory, const QString& prefix);

    // Absolute path of the chosen template; empty for the placeholder and "<Browse...>".
    QString TemplatePath() const;
    QString Prefix() const;
    // 0: all bones holding the prefix; 1: the selected bones only.
    int Scope() const;

public slots:
    // Opens a file dialog when "<Browse...>" was chosen; always ends on the first item.
    void CheckIndex(int index);
    void OnHelp();

private:
    void FillTemplates();
    // Runs the file dialog; empty when cancelled.
    QString AskForTemplateFile();

    QComboBox* m_templates;
    QPushButton* m_helpButton;
    QButtonGroup* m_scope;
    QLineEdit* m_prefixEdit;
    QString m_templateDirectory;
};
