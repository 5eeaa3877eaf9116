#include "desktop/attributeeditor.h"

#include "host.h"
#include "scene/node.h"
#include "scene/rotationorder.h"
#include "scene/scene.h"
#include "scene/transformchannels.h"
#include "script/scriptlexer.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cmath>

namespace kestrel {

namespace {

constexpr double kDegreesPerRadian = 180.0 / M_PI;
// Wide enough for any scene a person builds; a value beyond shows clamped but is never
// written back unless that field is edited.
constexpr double kFieldLimit = 1.0e9;
const char* const kAxes[3] = {"X", "Y", "Z"};

QDoubleSpinBox* MakeField(QWidget* parent, int decimals)
{
    auto* field = new QDoubleSpinBox(parent);
    field->setRange(-kFieldLimit, kFieldLimit);
    field->setDecimals(decimals);
    field->setKeyboardTracking(false); // one command when the value is entered, not per key
    field->setButtonSymbols(QAbstractSpinBox::NoButtons);
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(60);
    return field;
}

} // namespace

AttributeEditor::AttributeEditor(Host& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_pages(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("attributeEditor"));
    auto* empty = new QLabel(tr("No node selected."), m_pages);
    empty->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    empty->setMargin(12);
    m_pages->addWidget(empty);
    m_pages->addWidget(BuildChannelsPage());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    SceneNotifier& notifier = host.GetScene().GetNotifier();
    m_callbacks.push_back(notifier.AddSelectionChangedCallback([this] { ShowLastSelected(); }));
    m_callbacks.push_back(notifier.AddChangedCallback(nullptr, [this](Node& node) {
        if (&node == m_node)
            Refresh();
    }));
    m_callbacks.push_back(
        notifier.AddNameChangedCallback(nullptr, [this](Node& node, const QString&) {
            if (&node == m_node)
                Refresh();
        }));
    m_callbacks.push_back(notifier.AddAboutToRemoveCallback(nullptr, [this](Node& node) {
        if (&node == m_node) {
            m_node = nullptr;
            Refresh();
        }
    }));
    ShowLastSelected();
}

AttributeEditor::~AttributeEditor()
{
    for (CallbackId id : m_callbacks)
        m_host.GetScene().GetNotifier().RemoveCallback(id);
}

QWidget* AttributeEditor::BuildChannelsPage()
{
    auto* page = new QWidget(m_pages);
    m_name = new QLabel(page);
    QFont bold = m_name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    m_name->setFont(bold);
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_type = new QLabel(page);
    QPalette muted = m_type->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::Disabled, QPalette::WindowText));
    m_type->setPalette(muted);

    m_channels = new QWidget(page);
    auto* grid = new QGridLayout(m_channels);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    for (int axis = 0; axis < 3; ++axis) {
        auto* heading = new QLabel(QString::fromLatin1(kAxes[axis]), m_channels);
        heading->setAlignment(Qt::AlignCenter);
        grid->addWidget(heading, 0, axis + 1);
    }
    AddChannelRow(grid, QStringLiteral("translate"), tr("Translate"), 3);
    AddChannelRow(grid, QStringLiteral("rotate"), tr("Rotate"), 3);
    AddChannelRow(grid, QStringLiteral("scale"), tr("Scale"), 4);
    AddChannelRow(grid, QStringLiteral("rotateAxis"), tr("Rotate Axis"), 3);
    AddChannelRow(grid, QStringLiteral("jointOrient"), tr("Joint Orient"), 3);
    const int orderRow = grid->rowCount();
    grid->addWidget(new QLabel(tr("Rotate Order"), m_channels), orderRow, 0);
    m_rotateOrder = new QComboBox(m_channels);
    for (int value = 0; value < 6; ++value)
        m_rotateOrder->addItem(RotationOrderName(static_cast<RotationOrder>(value)));
    grid->addWidget(m_rotateOrder, orderRow, 1, 1, 2);
    connect(m_rotateOrder, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int value) { Apply(QStringLiteral("rotateOrder"), QString::number(value)); });

    auto* limits = new QGroupBox(tr("Rotation Limits (read only)"), page);
    m_limits = limits;
    auto* limitGrid = new QGridLayout(limits);
    limitGrid->setHorizontalSpacing(4);
    AddLimitRow(limitGrid, 0, tr("Min"), &m_limitMinimum);
    AddLimitRow(limitGrid, 1, tr("Max"), &m_limitMaximum);
    auto* note = new QLabel(tr("Greyed: no limit on that axis."), limits);
    note->setPalette(muted);
    limitGrid->addWidget(note, 2, 0, 1, 4);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_name);
    layout->addWidget(m_type);
    layout->addSpacing(6);
    layout->addWidget(m_channels);
    layout->addWidget(m_limits);
    layout->addStretch(1);
    return page;
}

void AttributeEditor::AddChannelRow(QGridLayout* grid, const QString& base, const QString& title,
                                    int decimals)
{
    ChannelRow row;
    row.base = base;
    const int gridRow = grid->rowCount();
    row.label = new QLabel(title, m_channels);
    grid->addWidget(row.label, gridRow, 0);
    for (int axis = 0; axis < 3; ++axis) {
        QDoubleSpinBox* field = MakeField(m_channels, decimals);
        const QString channel = base + QString::fromLatin1(kAxes[axis]);
        field->setObjectName(channel);
        connect(field, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                [this, channel](double value) { Apply(channel, ScriptLexer::Number(value)); });
        grid->addWidget(field, gridRow, axis + 1);
        row.fields[static_cast<std::size_t>(axis)] = field;
    }
    m_rows.push_back(row);
}

void AttributeEditor::AddLimitRow(QGridLayout* grid, int row, const QString& title,
                                  std::array<QDoubleSpinBox*, 3>* fields)
{
    grid->addWidget(new QLabel(title, m_limits), row, 0);
    for (int axis = 0; axis < 3; ++axis) {
        QDoubleSpinBox* field = MakeField(m_limits, 3);
        field->setReadOnly(true);
        grid->addWidget(field, row, axis + 1);
        (*fields)[static_cast<std::size_t>(axis)] = field;
    }
}

QDoubleSpinBox* AttributeEditor::Field(const QString& channel) const
{
    for (const ChannelRow& row : m_rows) {
        for (QDoubleSpinBox* field : row.fields) {
            if (field->objectName() == channel)
                return field;
        }
    }
    return nullptr;
}

void AttributeEditor::ShowLastSelected()
{
    const std::vector<Node*>& selected = m_host.GetScene().GetSelection().Items();
    m_node = selected.empty() ? nullptr : selected.back();
    Refresh();
}

void AttributeEditor::Refresh()
{
    const QScopedValueRollback<bool> refreshing(m_refreshing, true);
    if (!m_node) {
        m_pages->setCurrentIndex(0);
        return;
    }
    m_pages->setCurrentIndex(1);
    m_name->setText(m_node->Name());
    m_type->setText(NodeTypeName(m_node->Type()));
    m_channels->setVisible(m_node->IsTransform());
    m_limits->setVisible(m_node->IsTransform());
    if (!m_node->IsTransform())
        return;
    for (const ChannelRow& row : m_rows) {
        const bool present = TransformChannels::IsChannel(*m_node, row.base + QLatin1Char('X'));
        row.label->setVisible(present);
        for (int axis = 0; axis < 3; ++axis) {
            QDoubleSpinBox* field = row.fields[static_cast<std::size_t>(axis)];
            field->setVisible(present);
            if (present)
                field->setValue(TransformChannels::Read(*m_node, field->objectName()).ToDouble());
        }
    }
    m_rotateOrder->setCurrentIndex(static_cast<int>(m_node->Transform().rotationOrder));
    RefreshLimits();
}

void AttributeEditor::RefreshLimits()
{
    const RotationLimits& limits = m_node->Transform().limits;
    for (int axis = 0; axis < 3; ++axis) {
        const auto i = static_cast<std::size_t>(axis);
        m_limitMinimum[i]->setValue(limits.minimum[axis] * kDegreesPerRadian);
        m_limitMinimum[i]->setEnabled(limits.minimumEnabled[axis]);
        m_limitMaximum[i]->setValue(limits.maximum[axis] * kDegreesPerRadian);
        m_limitMaximum[i]->setEnabled(limits.maximumEnabled[axis]);
    }
}

void AttributeEditor::Apply(const QString& channel, const QString& valueText)
{
    if (m_refreshing || !m_node)
        return;
    const QString script =
        QStringLiteral("setAttr %1 %2")
            .arg(ScriptLexer::Quote(m_node->Name() + QLatin1Char('.') + channel), valueText);
    ExecuteOptions options;
    options.undoable = true;
    if (m_host.GetInterpreter().Execute(script, options).status != Status::Success)
        Refresh(); // show the node's value again
}

} // namespace kestrel
