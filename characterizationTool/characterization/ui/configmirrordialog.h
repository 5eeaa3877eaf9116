// The dialog that edits the left/right keyword pairs of mirrored assignment.
#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

// Shows the pairs stored in the settings file at `settingsPath` and writes them back when
// accepted (identical pairs once, rows never edited left out). The caller reloads the pairs
// and reports a settings file that could not be written.
class ConfigMirrorDialog : public QDialog
{
    Q_OBJECT

public:
    ConfigMirrorDialog(QWidget* parent, const QString& settingsPath);

    QTableWidget* Table() const { return m_table; }
    // False once an accept could not write the settings file; true before any accept.
    bool SettingsWritten() const { return m_settingsWritten; }

public slots:
    void accept() override;
    void AddRow();
    void RemoveRow();
    void OnHelp();

private:
    void FillTable();

    QString m_settingsPath;
    QTableWidget* m_table;
    QPushButton* m_helpButton;
    bool m_settingsWritten = true;
};
