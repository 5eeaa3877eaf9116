// The attribute editor: the channels of the last selected node, as editable fields.
#pragma once

#include "scene/scenenotifier.h"

#include <QWidget>

#include <array>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QStackedWidget;

namespace kestrel {

class Host;
class Node;

// Shows the last node of the host's selection: its name and type, then for transforms and
// joints translate, rotate (degrees), scale, rotate axis (degrees), joint orient (degrees,
// joints only), the rotate order and the rotation limits (read only: no command edits them).
// "No node selected." when the selection is empty.
//
// Every edit runs the command a script would ("setAttr \"Node.translateX\" 5") through the
// interpreter as one undo step; a refused value is reported by the host and the field shows
// the node's value again. The fields follow the node: its channel changes (from scripts,
// undo, other views), its renaming, its removal and every selection change.
//
// The host must outlive the widget.
class AttributeEditor : public QWidget
{
    Q_OBJECT

public:
    explicit AttributeEditor(Host& host, QWidget* parent = nullptr);
    ~AttributeEditor() override;

    // The node shown, or nullptr.
    const Node* CurrentNode() const { return m_node; }
    // The field of a channel ("translateX", "jointOrientZ", ...), or nullptr.
    QDoubleSpinBox* Field(const QString& channel) const;
    QComboBox* RotateOrderField() const { return m_rotateOrder; }

private:
    // A row of three fields for the channels `base` + X, Y, Z.
    struct ChannelRow
    {
        QString base;
        QLabel* label = nullptr;
        std::array<QDoubleSpinBox*, 3> fields{};
    };

    QWidget* BuildChannelsPage();
    void AddChannelRow(QGridLayout* grid, const QString& base, const QString& title, int decimals);
    void AddLimitRow(QGridLayout* grid, int row, const QString& title,
                     std::array<QDoubleSpinBox*, 3>* fields);
    void ShowLastSelected();
    void Refresh();
    void RefreshLimits();
    void Apply(const QString& channel, const QString& valueText);

    Host& m_host;
    const Node* m_node = nullptr; // cleared when the scene is about to remove it
    std::vector<CallbackId> m_callbacks;
    bool m_refreshing = false; // fields are being set from the node, not by a person
    QStackedWidget* m_pages = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_type = nullptr;
    QWidget* m_channels = nullptr;
    std::vector<ChannelRow> m_rows;
    QComboBox* m_rotateOrder = nullptr;
    QWidget* m_limits = nullptr;
    std::array<QDoubleSpinBox*, 3> m_limitMinimum{};
    std::array<QDoubleSpinBox*, 3> m_limitMaximum{};
};

} // namespace kestrel
