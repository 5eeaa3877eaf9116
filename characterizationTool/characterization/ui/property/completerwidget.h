// The small frameless chooser in which the user types or picks a host transform by name.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;

// An editable combo box over `names` (in the given order) with case-insensitive typing
// completion, and "Ok"/"Cancel" buttons. Return in the text field or "Ok" accepts with
// whatever text is typed, which need not be one of the names; the caller checks it. Not
// modal by itself: the caller runs exec().
class CompleterWidget : public QDialog
{
    Q_OBJECT

public:
    // Starts on the last item equal to `current`; with no such item the field starts empty, so
    // accepting at once binds nothing by accident.
    CompleterWidget(QWidget* parent, const QStringList& names, const QString& current);

    // Runs a chooser as a modal child of `parent` with its top-left corner at `globalPos`, moved
    // as little as needed to lie inside the window of `parent`. True
    // with the accepted text in `chosen`; false when cancelled, and also when `parent` was
    // destroyed while the chooser ran (the host may close the panel), in which case the caller
    // must not touch `parent` again.
    static bool Choose(QWidget* parent, const QStringList& names, const QString& current,
                       const QPoint& globalPos, QString& chosen);

    // The text of the field when the dialog was accepted; empty before that.
    QString ChosenText() const { return m_chosenText; }
    QComboBox* ComboBox() const { return m_comboBox; }

public slots:
    void accept() override;

private:
    QComboBox* m_comboBox; // child
    QString m_chosenText;
};
