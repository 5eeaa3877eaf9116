#include "propertyview.h"

#include "assignwithconfirmation.h"
#include "completerwidget.h"
#include "host/idcchub.h"
#include "lineeditwithmousebroadcast.h"
#include "model/characterizationmodel.h"
#include "model/stancereport.h"
#include "solver/nodenames.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>

namespace {

// Narrowest value field, in pixels; a field is widened to show a signed angle with two
// decimals ("-180.00") whole in the panel's font, and no more: three fields and their labels
// must fit the panel's narrowest width.
constexpr int kValueFieldWidth = 52;
// QLineEdit's fixed inner margin on each side of its text, plus the cursor's pixel, in pixels.
constexpr int kLineEditTextMargin = 2;
constexpr int kCursorWidth = 1;
// Lines of the status text always in sight.
constexpr int kStatusLines = 3;
constexpr float kDegreesPerRadian = 57.29578f;
constexpr float kHalfPi = 1.5707964f;

enum Row : int
{
    StatusLabelRow = 0,
    StatusTextRow = 1,
    NodeRow = 2,
    JointRow = 3,
    SelectionRow = 4,
    FirstValueRow = 5,
    RotationOrderRow = FirstValueRow + PropertyView::kValueRowCount,
};

struct ValueRowSpec
{
    const char* label;
    PropertyView::DisplayKind kind;
};

const ValueRowSpec kValueRows[PropertyView::kValueRowCount] = {
    {QT_TRANSLATE_NOOP("PropertyView", "Translate"), PropertyView::VectorKind},
    {QT_TRANSLATE_NOOP("PropertyView", "Rotate"), PropertyView::QuaternionKind},
    {QT_TRANSLATE_NOOP("PropertyView", "Scale"), PropertyView::VectorKind},
    {QT_TRANSLATE_NOOP("PropertyView", "Pre-rotate"), PropertyView::QuaternionKind},
    {QT_TRANSLATE_NOOP("PropertyView", "Post-rotate"), PropertyView::QuaternionKind},
    {QT_TRANSLATE_NOOP("PropertyView", "Min rot limit"), PropertyView::AnglesKind},
    {QT_TRANSLATE_NOOP("PropertyView", "Max rot limit"), PropertyView::AnglesKind},
    {QT_TRANSLATE_NOOP("PropertyView", "Parent offset R"), PropertyView::QuaternionKind},
};
constexpr int kMinLimitRow = 5;
constexpr int kMaxLimitRow = 6;

QLineEdit* MakeReadOnly(QLineEdit* field)
{
    field->setReadOnly(true);
    return field;
}

QLabel* MakeLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QString Number(float value)
{
    return QString::number(double(value), 'f', 3);
}

// Pixels a line edit of `width` has for its text: what its style leaves inside the frame, less
// the edit's own margins and the cursor.
int TextRoom(const QLineEdit* field, int width)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = QRect(0, 0, width, field->sizeHint().height());
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    const QMargins margins = field->textMargins();
    return field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field).width() -
           margins.left() - margins.right() - 2 * kLineEditTextMargin - kCursorWidth;
}

// `value` as text no wider than `room` pixels: three decimals when they fit, then fewer, then
// fewer significant digits in exponent form. The sign and the leading digits always stay; only
// precision at the end is given up.
QString FittedNumber(float value, const QFontMetrics& metrics, int room)
{
    for (int decimals = 3; decimals >= 0; --decimals) {
        const QString text = QString::number(double(value), 'f', decimals);
        if (metrics.horizontalAdvance(text) <= room)
            return text;
    }
    for (int digits = 6; digits > 1; --digits) {
        const QString text = QString::number(double(value), 'g', digits);
        if (metrics.horizontalAdvance(text) <= room)
            return text;
    }
    return QString::number(double(value), 'g', 1);
}

// Euler angles in radians of a quaternion (x, y, z, w), single precision throughout so the
// numbers match what the solver stores. Near the poles (gimbal lock) the middle angle is
// pinned to -/+90 degrees and the last to 0.
std::array<float, 3> QuaternionToEuler(const float* q)
{
    const float x = q[0], y = q[1], z = q[2], w = q[3];
    if (std::fabs(x) < 1e-6f && std::fabs(y) < 1e-6f && std::fabs(z) < 1e-6f)
        return {0.0f, 0.0f, 0.0f};
    const float t = x * z - y * w;
    if (t >= 0.499999f)
        return {std::atan2(x * w - y * z, -(x * z) - y * w), -kHalfPi, 0.0f};
    if (t <= -0.499999f)
        return {std::atan2(x * y - w * z, w * w - 0.5f + y * y), kHalfPi, 0.0f};
    return {std::atan2(y * z + x * w, z * z + w * w - 0.5f), -std::asin(2.0f * t),
            std::atan2(w * z + x * y, x * x + w * w - 0.5f)};
}

} // namespace

PropertyView::PropertyView(QWidget* parent, IDCCHub* hub, CharacterizationModel* model)
    : QFrame(parent)
    , m_hub(hub)
    , m_model(model)
    , m_nodeField(MakeReadOnly(new QLineEdit(this)))
    , m_jointField(new LineEditWithMouseBroadcast(this))
    , m_statusText(new QTextEdit(this))
    , m_fixStance(new QPushButton(tr("Fix Stance"), this))
    , m_modeLabel(new QLabel(this))
    , m_selectionField(MakeReadOnly(new QLineEdit(this)))
    , m_rotationOrderField(MakeReadOnly(new QLineEdit(this)))
{
    m_jointField->setReadOnly(true);
    m_statusText->setReadOnly(true);

    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(1, 1);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    // The status text takes whatever height is left, at least a few lines: its messages name
    // the nodes in error and run to several lines.
    grid->setRowStretch(StatusTextRow, 1);
    m_statusText->setMinimumHeight(m_statusText->fontMetrics().lineSpacing() * kStatusLines +
                                   2 * m_statusText->frameWidth() +
                                   int(2 * m_statusText->document()->documentMargin()));

    grid->addWidget(new QLabel(tr("Status"), this), StatusLabelRow, 0);
    m_modeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = m_modeLabel->font();
    bold.setBold(true);
    m_modeLabel->setFont(bold);
    grid->addWidget(m_modeLabel, StatusLabelRow, 1, 1, 2);
    m_fixStance->setToolTip(tr("Turn the hips and arms so the pose rules pass (one undo step)"));
    connect(m_fixStance, &QPushButton::clicked, this, &PropertyView::FixStanceRequested);
    grid->addWidget(m_fixStance, StatusLabelRow, 3);
    grid->addWidget(m_statusText, StatusTextRow, 0, 1, 4);
    grid->addWidget(MakeLabel(tr("Kinetra node"), this), NodeRow, 0);
    grid->addWidget(m_nodeField, NodeRow, 1, 1, 3);
    grid->addWidget(MakeLabel(tr("Bone"), this), JointRow, 0);
    grid->addWidget(m_jointField, JointRow, 1, 1, 3);
    grid->addWidget(MakeLabel(tr("Scene Selection"), this), SelectionRow, 0);
    grid->addWidget(m_selectionField, SelectionRow, 1, 1, 3);
    for (int row = 0; row < kValueRowCount; ++row) {
        grid->addWidget(MakeLabel(tr(kValueRows[row].label), this), FirstValueRow + row, 0);
        m_rows[row].kind = kValueRows[row].kind;
        for (int axis = 0; axis < 3; ++axis) {
            QLineEdit* field = MakeReadOnly(new QLineEdit(this));
            int width = kValueFieldWidth;
            while (TextRoom(field, width) <
                   field->fontMetrics().horizontalAdvance(QStringLiteral("-180.00")))
                ++width;
            field->setFixedWidth(width);
            m_rows[row].fields[axis] = field;
            grid->addWidget(field, FirstValueRow + row, 1 + axis);
        }
    }
    grid->addWidget(MakeLabel(tr("Rotation order"), this), RotationOrderRow, 0);
    grid->addWidget(m_rotationOrderField, RotationOrderRow, 1, 1, 3);

    connect(m_model, &CharacterizationModel::ModelChanged, this, &PropertyView::UpdateView);
    connect(m_model, &CharacterizationModel::EditedPartChanged, this,
            &PropertyView::ChangeEditPart);
    connect(m_jointField, &LineEditWithMouseBroadcast::mouseDoubleClickSent, this,
            &PropertyView::BoneDoubleClick);
    connect(m_model, &CharacterizationModel::MirrorModeChanged, this, &PropertyView::ShowModes);
    if (m_hub)
        connect(m_hub, &IDCCHub::selectionChanged, this, &PropertyView::OnDccSelect);
    UpdateView();
}

QString PropertyView::RotationOrderText(int code)
{
    static const char* const kTexts[] = {
        "Euler XYZ", "Euler XYX", "Euler XZY", "Euler XZX", "Euler YZX", "Euler YZY",   "Euler YXZ",
        "Euler YXY", "Euler ZXY", "Euler ZXZ", "Euler ZYX", "Euler ZYZ", "Spheric XYZ",
    };
    if (code < 0 || code >= int(std::size(kTexts)))
        return QString();
    return QString::fromLatin1(kTexts[code]);
}

void PropertyView::ChangeEditPart(int /*oldEditedPartId*/, int newEditedPartId,
                                  bool /*isReadWrite*/)
{
    ShowNode(newEditedPartId);
}

void PropertyView::UpdateView()
{
    ShowNode(m_model->EditedPart());
}

void PropertyView::ShowNode(int node)
{
    QString nodeText = tr("No node selected.");
    QString jointText;
    for (ValueRow& row : m_rows) {
        for (QLineEdit* field : row.fields) {
            field->clear();
            field->setToolTip(QString());
            field->setEnabled(true);
        }
    }
    m_rotationOrderField->clear();

    const Characterization* current = m_model->CurrentCharacterization();
    if (IsNodeId(node)) {
        nodeText = QString::fromLatin1(kinetra::NodeName(node));
        if (current && current->IsNodeAssigned(node)) {
            jointText = m_model->JointOfNode(node);
            FillValues(current->RestState(node));
        }
    }
    m_nodeField->setText(nodeText);
    m_jointField->setText(jointText);
    const QStringList stance = StanceLines();
    m_statusText->setPlainText((QStringList{StatusMessage()} + stance).join(QLatin1Char('\n')));
    m_fixStance->setVisible(!stance.isEmpty());
    m_fixStance->setEnabled(!m_model->IsLocked());
    ShowModes();
}

QStringList PropertyView::StanceLines() const
{
    QStringList lines;
    const Characterization* current = m_model->CurrentCharacterization();
    if (!current)
        return lines;
    for (const StanceAngle& angle : StanceReport::Measure(*current)) {
        if (angle.degrees > StanceReport::kLimitDegrees)
            lines << StanceReport::Describe(angle);
    }
    return lines;
}

void PropertyView::ShowModes()
{
    QStringList modes;
    if (m_model->IsLocked())
        modes << tr("Locked");
    if (m_model->IsMirrorMode())
        modes << tr("Mirror mode on");
    m_modeLabel->setText(modes.join(QStringLiteral(" \u00b7 ")));
}

void PropertyView::FillValues(const kinetra::NodeRestState& state)
{
    const float* rows[kValueRowCount] = {
        state.Translate, state.Rotate,    state.Scale,     state.PreRot,
        state.PostRot,   state.MinRLimit, state.MaxRLimit, state.RotateParentOffset,
    };
    for (int row = 0; row < kValueRowCount; ++row) {
        std::array<float, 3> values;
        const float* source = rows[row];
        switch (m_rows[row].kind) {
        case QuaternionKind:
            values = QuaternionToEuler(source);
            for (float& value : values)
                value *= kDegreesPerRadian;
            break;
        case AnglesKind:
            values = {source[0] * kDegreesPerRadian, source[1] * kDegreesPerRadian,
                      source[2] * kDegreesPerRadian};
            break;
        case VectorKind:
            values = {source[0], source[1], source[2]};
            break;
        }
        for (int axis = 0; axis < 3; ++axis) {
            QLineEdit* field = m_rows[row].fields[axis];
            field->setText(FittedNumber(values[axis], field->fontMetrics(),
                                        TextRoom(field, field->minimumWidth())));
            field->setToolTip(Number(values[axis]));
            // The start of a number matters most: never scroll it out of sight.
            field->setCursorPosition(0);
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        m_rows[kMinLimitRow].fields[axis]->setEnabled(state.LimitFlags &
                                                      (kinetra::MinLimitX << axis));
        m_rows[kMaxLimitRow].fields[axis]->setEnabled(state.LimitFlags &
                                                      (kinetra::MaxLimitX << axis));
    }
    m_rotationOrderField->setText(RotationOrderText(state.RotationOrder));
}

QString PropertyView::StatusMessage() const
{
    const Characterization* current = m_model->CurrentCharacterization();
    if (m_hub && current && current->Name() == IDCCHub::GetNoneName())
        return tr("No characterization yet: create one to map this skeleton's bones.");
    const NodeValidation& overall = m_model->OverallValidation();
    switch (overall.status) {
    case ValidationStatus::Valid:
        return tr("Characterization is valid.");
    case ValidationStatus::NotSet:
        return tr("Not enough information to validate.");
    default:
        return QString::fromStdString(overall.message);
    }
}

void PropertyView::BoneDoubleClick(QMouseEvent* event)
{
    const int node = m_model->EditedPart();
    if (node == -1 || event->button() != Qt::LeftButton || m_model->IsLocked() || !m_hub)
        return;
    QStringList names;
    m_hub->GetAllTransforms(names);
    QString text;
    if (!CompleterWidget::Choose(this, names, m_model->JointOfNode(node),
                                 mapToGlobal(m_jointField->pos()), text))
        return;
    if (!text.isEmpty() && m_hub->IsTransform(text))
        AssignWithConfirmation(parentWidget(), *m_model, node, text);
    else
        m_model->ClearNode(node);
}

void PropertyView::OnDccSelect()
{
    const QStringList& selected = m_hub->GetSelectedTransforms();
    m_selectionField->setText(selected.size() == 1 ? selected.first() : QString());
}
