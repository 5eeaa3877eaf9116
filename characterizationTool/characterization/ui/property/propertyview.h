// The panel under the diagram and under the node tree: why the characterization is or is not
// usable, and the stored rest state of the edited node.
#pragma once

#include <QFrame>
#include <QString>

#include <array>

class CharacterizationModel;
class IDCCHub;
class LineEditWithMouseBroadcast;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class QTextEdit;

namespace kinetra {
struct NodeRestState;
}

// Read-only fields showing the overall validation message, the edited node, its bound joint,
// the host's single selected transform and the node's stored rest state. Double-clicking the
// joint field opens a CompleterWidget to bind another transform to the edited node. A value
// field shows as many of three decimals as fit its width, its tooltip the value with all three:
// a sign or a leading digit is never cut off.
//
// Neither the hub (may be null) nor the model is owned; both must outlive the view. The view
// keeps no state of its own: it redraws from the model on ModelChanged() and EditedPartChanged.
class PropertyView : public QFrame
{
    Q_OBJECT

public:
    // How a value row shows its numbers.
    enum DisplayKind : int
    {
        QuaternionKind = 0, // quaternion shown as three Euler angles in degrees
        AnglesKind = 1,     // three angles in radians shown in degrees
        VectorKind = 2,     // three plain numbers
    };
    static constexpr int kValueRowCount = 8;

    PropertyView(QWidget* parent, IDCCHub* hub, CharacterizationModel* model);

    // Display text of a rotation order code; empty for an unknown code.
    static QString RotationOrderText(int code);

    // The fields, for tests and screenshots. Value row order: Translate, Rotate, Scale,
    // Pre-rotate, Post-rotate, Min rot limit, Max rot limit, Parent offset R; axis 0..2.
    QLineEdit* NodeField() const { return m_nodeField; }
    LineEditWithMouseBroadcast* JointField() const { return m_jointField; }
    QTextEdit* StatusText() const { return m_statusText; }
    QPushButton* FixStanceButton() const { return m_fixStance; }
    // "Locked", "Mirror mode on", both joined, or empty: the modes that change what editing does.
    QLabel* ModeLabel() const { return m_modeLabel; }
    QLineEdit* SelectionField() const { return m_selectionField; }
    QLineEdit* RotationOrderField() const { return m_rotationOrderField; }
    QLineEdit* ValueField(int row, int axis) const { return m_rows[row].fields[axis]; }

signals:
    // The person asked for the stance fix with the button beside the stance report.
    void FixStanceRequested();

public slots:
    // Shows node `newEditedPartId` (-1: none).
    void ChangeEditPart(int oldEditedPartId, int newEditedPartId, bool isReadWrite);
    // Shows the model's edited node.
    void UpdateView();

private slots:
    // Left double-click on the joint field: choose a transform for the edited node.
    void BoneDoubleClick(QMouseEvent* event);
    // Shows the host's selection when it is exactly one transform, else nothing.
    void OnDccSelect();

private:
    // The pose rules over their limit, one line each; empty when the pose passes.
    QStringList StanceLines() const;

    struct ValueRow
    {
        std::array<QLineEdit*, 3> fields;
        DisplayKind kind;
    };

    void ShowNode(int node);
    void FillValues(const kinetra::NodeRestState& state);
    QString StatusMessage() const;
    void ShowModes();

    IDCCHub* m_hub;
    CharacterizationModel* m_model;
    QLineEdit* m_nodeField;
    LineEditWithMouseBroadcast* m_jointField;
    QTextEdit* m_statusText;
    QPushButton* m_fixStance;
    QLabel* m_modeLabel;
    QLineEdit* m_selectionField;
    QLineEdit* m_rotationOrderField;
    std::array<ValueRow, kValueRowCount> m_rows;
};
