// The dialog that collects name, prefix and folder of a naming template to extract.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Proposes a template name, prefix and folder for the bone `exampleBone`. The caller reads
// the three edits after exec() returned Accepted; the folder text always ends with "/" when
// it was chosen with the browse button. Accepting asks before overwriting an existing file.
class SaveTemplateDialog : public QDialog
{
    Q_OBJECT

public:
    SaveTemplateDialog(QWidget* parent, const QString& exampleBone, const QString& prefix,
                       const QString& name, const QString& directory);

    QString Prefix() const;
    QString Name() const;
    QString Path() const;

public slots:
    void accept() override;
    void OnHelp();
    void OnPath();

private:
    QLineEdit* m_prefixEdit;
    QLineEdit* m_nameEdit;
    QLineEdit* m_pathEdit;
    QPushButton* m_helpButton;
    QPushButton* m_browseButton;
};
