// The kestrel desktop's viewport: the scene's skeletons as bones over a ground grid.
#pragma once

#include "desktop/viewportcamera.h"
#include "desktop/viewportpainter.h"
#include "desktop/viewportprojection.h"
#include "desktop/viewportskeleton.h"
#include "scene/scenenotifier.h"

#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace kestrel {

class Host;

// Shows every transform and joint of the host's scene as bones, joint markers over the Y-up
// ground grid, and lets a person look around and select joints.
//
// Looking: keys 1 to 4 switch to the perspective, front, side and top views; Alt+left-drag
// orbits the perspective view; middle-drag (with or without Alt) pans; the wheel and
// Alt+right-drag zoom; F frames the selection and A everything. A right-click opens a menu with
// the same. A scene's first nodes are framed on their own, as are those of each scene opened
// or created later.
//
// Selecting: a click selects the joint whose marker lies under the cursor (within a few pixels),
// Shift adds it, Ctrl toggles it, and a click on empty ground clears the selection. Every
// selection runs the host's `select` command as an echoed script with the options of a user's
// action (undoable), exactly as if it had been typed, so the selection is the host's and other
// views follow. The viewport never changes the scene itself.
//
// Joints bound to the current character node are teal diamonds drawn above plain markers, so a
// bound joint that shares its place with unbound ones stays visible.
//
// The picture follows the scene's notifications (selection, new, moved, edited, renamed and
// destroyed nodes) and the character controls' refresh: they only mark what is stale and
// schedule one repaint. The host must
// outlive the viewport.
class Viewport : public QWidget
{
    Q_OBJECT

public:
    explicit Viewport(Host& host, QWidget* parent = nullptr);
    ~Viewport() override;

    ViewportView View() const { return m_camera.View(); }
    // The camera as the last frame or call left it; project through it to find where a world
    // point is drawn.
    const ViewportCamera& Camera() const;
    // Names of the nodes drawn as selected, in scene order.
    QStringList HighlightedNodes() const;
    // What the tooltip says at a widget position: the joint's name, and its character slot
    // ("Slot: LeftArm (Character1)") when it is bound; empty away from any joint.
    QString DescribeNodeAt(const QPoint& position) const;

    QSize sizeHint() const override;

public slots:
    void SetView(kestrel::ViewportView view);
    void ShowPerspective() { SetView(ViewportView::Perspective); }
    void ShowFront() { SetView(ViewportView::Front); }
    void ShowSide() { SetView(ViewportView::Side); }
    void ShowTop() { SetView(ViewportView::Top); }
    // Fits the selected nodes into the view; everything when nothing is selected.
    void FrameSelection();
    // Fits every transform and joint into the view.
    void FrameAll();

signals:
    void ViewChanged(kestrel::ViewportView view);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class Drag
    {
        None,
        Click, // a left press that selects on release unless it moves
        Orbit,
        Pan,
        Zoom,
    };

    void InstallCallbacks();
    void MarkGeometryStale();
    // Brings the skeleton, the selection marks and the projection up to date, in that order,
    // and frames a newly filled scene.
    void Refresh() const;
    void Frame(bool selectionOnly);
    // Points the camera at the selection (or everything); false when there is nothing to show.
    bool FitCamera(bool selectionOnly) const;
    int PickAt(const QPoint& position) const;
    void SelectAt(const QPoint& position, Qt::KeyboardModifiers modifiers);
    void RunSelect(const QString& arguments);
    void CameraMoved();

    Host& m_host;
    std::vector<CallbackId> m_callbacks;
    int m_controlsCallback = 0; // CharacterNodes' controls refresh callback

    // Caches, brought up to date by Refresh() before anything reads them.
    mutable ViewportCamera m_camera;
    mutable ViewportSkeleton m_skeleton;
    mutable ViewportProjection m_projection;
    mutable bool m_geometryStale = true;
    mutable bool m_selectionStale = true;
    mutable bool m_projectionStale = true;
    mutable bool m_framePending = true; // the next non-empty scene gets framed
    ViewportPainter m_painter;

    Drag m_drag = Drag::None;
    QPoint m_pressPosition;
    QPoint m_lastPosition;
};

} // namespace kestrel
