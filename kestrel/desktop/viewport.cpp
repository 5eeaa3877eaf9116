#include "desktop/viewport.h"

#include "host.h"
#include "scene/characternodes.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "script/scriptlexer.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace kestrel {

namespace {

constexpr double kPickTolerance = 7.0;         // pixels from a marker's centre
constexpr double kWheelZoomPerDegree = 1.0075; // zoom factor per wheel degree
constexpr double kDragZoomPerPixel = 1.01;

QString HelpText()
{
    return QObject::tr("Click a joint to select it (Shift adds, Ctrl toggles)\n"
                       "1 Perspective, 2 Front, 3 Side, 4 Top\n"
                       "F frame selection, A frame all\n"
                       "Alt+left-drag orbit, middle-drag pan, wheel or Alt+right-drag zoom");
}

} // namespace

Viewport::Viewport(Host& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("viewport"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    InstallCallbacks();
}

Viewport::~Viewport()
{
    SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    for (const CallbackId id : m_callbacks)
        notifier.RemoveCallback(id);
    m_host.GetCharacterNodes().RemoveControlsRefreshCallback(m_controlsCallback);
}

QSize Viewport::sizeHint() const
{
    return QSize(800, 600);
}

void Viewport::InstallCallbacks()
{
    SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    m_callbacks.push_back(notifier.AddSelectionChangedCallback([this] {
        m_selectionStale = true;
        update();
    }));
    m_callbacks.push_back(notifier.AddNodeAddedCallback([this](Node&) { MarkGeometryStale(); }));
    m_callbacks.push_back(
        notifier.AddReparentedCallback(nullptr, [this](Node&) { MarkGeometryStale(); }));
    m_callbacks.push_back(
        notifier.AddChangedCallback(nullptr, [this](Node&) { MarkGeometryStale(); }));
    m_callbacks.push_back(
        notifier.AddNameChangedCallback(nullptr, [this](Node&, const QString&) { update(); }));
    // The tool reports a switch of its characterization this way; the scene's current character
    // follows before the next paint, which compares it with the one drawn.
    m_controlsCallback =
        m_host.GetCharacterNodes().AddControlsRefreshCallback([this] { update(); });
    m_callbacks.push_back(notifier.AddDestroyedCallback(nullptr, [this](const QString&) {
        const Scene& scene = m_host.GetScene();
        if (scene.IsOpeningFile() || scene.IsCreatingNewScene())
            m_framePending = true;
        MarkGeometryStale();
    }));
}

void Viewport::MarkGeometryStale()
{
    // Stale already: a paint is pending (a scene being opened announces every node twice).
    if (m_geometryStale)
        return;
    m_geometryStale = true;
    update();
}

const ViewportCamera& Viewport::Camera() const
{
    Refresh();
    return m_camera;
}

void Viewport::Refresh() const
{
    if (m_camera.ScreenSize() != size()) {
        m_camera.SetScreenSize(size());
        m_projectionStale = true;
    }
    // Making another character node current is no scene change, and so sends no notification.
    if (m_host.GetCharacterNodes().Current() != m_skeleton.Character())
        m_geometryStale = true;
    if (m_geometryStale) {
        m_skeleton.Rebuild(m_host.GetScene(), m_host.GetCharacterNodes());
        m_geometryStale = false;
        m_selectionStale = false;
        m_projectionStale = true;
        if (m_skeleton.IsEmpty()) {
            m_framePending = true;
        } else if (m_framePending) {
            FitCamera(false);
        }
    }
    if (m_selectionStale) {
        m_skeleton.UpdateSelection(m_host.GetScene().GetSelection());
        m_selectionStale = false;
    }
    if (m_projectionStale) {
        m_projection.Update(m_skeleton, m_camera);
        m_projectionStale = false;
    }
}

QStringList Viewport::HighlightedNodes() const
{
    Refresh();
    QStringList names;
    for (const ViewportSkeleton::Item& item : m_skeleton.Items()) {
        if (item.selected)
            names << item.node->Name();
    }
    return names;
}

QString Viewport::DescribeNodeAt(const QPoint& position) const
{
    const int index = PickAt(position);
    if (index < 0)
        return QString();
    const Node& node = *m_skeleton.Items()[index].node;
    const QString slot = ViewportSkeleton::SlotDescription(node, m_host.GetCharacterNodes());
    return slot.isEmpty() ? node.Name() : node.Name() + QLatin1Char('\n') + slot;
}

void Viewport::SetView(ViewportView view)
{
    if (view == m_camera.View())
        return;
    m_camera.SetView(view);
    CameraMoved();
    emit ViewChanged(view);
}

void Viewport::FrameSelection()
{
    Frame(true);
}

void Viewport::FrameAll()
{
    Frame(false);
}

void Viewport::Frame(bool selectionOnly)
{
    Refresh();
    if (FitCamera(selectionOnly))
        update();
}

bool Viewport::FitCamera(bool selectionOnly) const
{
    Vector3 minimum;
    Vector3 maximum;
    const bool found = (selectionOnly && m_skeleton.SelectedBounds(&minimum, &maximum)) ||
                       m_skeleton.Bounds(&minimum, &maximum);
    if (!found)
        return false;
    // A single joint, or a scene of one, is shown with some room around it.
    const double radius = m_skeleton.Radius();
    m_camera.Frame(minimum, maximum, radius > 0.0 ? radius * 0.15 : 1.0);
    m_framePending = false;
    m_projectionStale = true;
    return true;
}

void Viewport::CameraMoved()
{
    m_projectionStale = true;
    update();
}

int Viewport::PickAt(const QPoint& position) const
{
    Refresh();
    return m_projection.Pick(position, kPickTolerance);
}

void Viewport::SelectAt(const QPoint& position, Qt::KeyboardModifiers modifiers)
{
    const int index = PickAt(position);
    if (index < 0) {
        // Shift and Ctrl extend or edit the selection; a plain click on nothing clears it.
        if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
            RunSelect(QStringLiteral("-clear"));
        return;
    }
    const ViewportSkeleton::Item& item = m_skeleton.Items()[index];
    const QString name = ScriptLexer::Quote(item.node->Name());
    if (modifiers & Qt::ShiftModifier)
        RunSelect(QStringLiteral("-add ") + name);
    else if (modifiers & Qt::ControlModifier)
        RunSelect((item.selected ? QStringLiteral("-deselect ") : QStringLiteral("-add ")) + name);
    else
        RunSelect(QStringLiteral("-replace ") + name);
}

void Viewport::RunSelect(const QString& arguments)
{
    ExecuteOptions options;
    options.echo = true;
    options.undoable = true;
    m_host.GetInterpreter().Execute(QStringLiteral("select ") + arguments, options);
}

bool Viewport::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = DescribeNodeAt(help->pos());
        QToolTip::showText(help->globalPos(), text.isEmpty() ? HelpText() : text, this);
        return true;
    }
    return QWidget::event(event);
}

void Viewport::paintEvent(QPaintEvent*)
{
    Refresh();
    QPainter painter(this);
    m_painter.Paint(painter, m_camera, m_skeleton, m_projection);
}

void Viewport::mousePressEvent(QMouseEvent* event)
{
    const bool alt = event->modifiers() & Qt::AltModifier;
    m_pressPosition = m_lastPosition = event->pos();
    if (event->button() == Qt::LeftButton)
        m_drag = alt ? Drag::Orbit : Drag::Click;
    else if (event->button() == Qt::MiddleButton)
        m_drag = Drag::Pan;
    else if (event->button() == Qt::RightButton && alt)
        m_drag = Drag::Zoom;
    else
        QWidget::mousePressEvent(event);
}

void Viewport::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint delta = event->pos() - m_lastPosition;
    m_lastPosition = event->pos();
    switch (m_drag) {
    case Drag::None:
    case Drag::Click:
        return;
    case Drag::Orbit:
        m_camera.Orbit(delta.x(), delta.y());
        break;
    case Drag::Pan:
        m_camera.Pan(delta.x(), delta.y());
        break;
    case Drag::Zoom:
        // Right or up comes closer.
        m_camera.Zoom(std::pow(kDragZoomPerPixel, delta.x() - delta.y()));
        break;
    }
    CameraMoved();
}

void Viewport::mouseReleaseEvent(QMouseEvent* event)
{
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (drag == Drag::Click && event->button() == Qt::LeftButton &&
        (event->pos() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        SelectAt(event->pos(), event->modifiers());
}

void Viewport::wheelEvent(QWheelEvent* event)
{
    const double degrees = event->angleDelta().y() / 8.0;
    if (degrees == 0.0)
        return;
    m_camera.Zoom(std::pow(kWheelZoomPerDegree, degrees));
    CameraMoved();
    event->accept();
}

void Viewport::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_1:
        ShowPerspective();
        break;
    case Qt::Key_2:
        ShowFront();
        break;
    case Qt::Key_3:
        ShowSide();
        break;
    case Qt::Key_4:
        ShowTop();
        break;
    case Qt::Key_F:
        FrameSelection();
        break;
    case Qt::Key_A:
        FrameAll();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void Viewport::contextMenuEvent(QContextMenuEvent* event)
{
    // Alt+right belongs to zooming.
    if (event->modifiers() & Qt::AltModifier)
        return;
    QMenu menu(this);
    auto* views = new QActionGroup(&menu);
    const struct
    {
        const char* text;
        ViewportView view;
    } entries[] = {{QT_TR_NOOP("Perspective\t1"), ViewportView::Perspective},
                   {QT_TR_NOOP("Front\t2"), ViewportView::Front},
                   {QT_TR_NOOP("Side\t3"), ViewportView::Side},
                   {QT_TR_NOOP("Top\t4"), ViewportView::Top}};
    for (const auto& entry : entries) {
        QAction* action = menu.addAction(tr(entry.text));
        action->setCheckable(true);
        action->setChecked(entry.view == View());
        views->addAction(action);
        const ViewportView view = entry.view;
        connect(action, &QAction::triggered, this, [this, view] { SetView(view); });
    }
    menu.addSeparator();
    connect(menu.addAction(tr("Frame Selection\tF")), &QAction::triggered, this,
            &Viewport::FrameSelection);
    connect(menu.addAction(tr("Frame All\tA")), &QAction::triggered, this, &Viewport::FrameAll);
    menu.exec(event->globalPos());
}

} // namespace kestrel
