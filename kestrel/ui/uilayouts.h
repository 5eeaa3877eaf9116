// The host's user interface as plug-ins see it: named layouts to embed widgets in.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace kestrel {

// Layouts are container widgets with a vertical layout, each with a unique name, arranged in
// a tree under the host's main window "kestrelMainWindow". A widget's full name is the chain of
// object names from the main window down, separated by '|'
// ("kestrelMainWindow|toolLayout|CharacterizationTool1").
//
// A desktop window may take the main window's place (InstallMainWindow): layouts and widgets
// put directly under it then go where its placer puts them (a docked panel, say), inside
// containers marked with MarkAsPlacement. Those containers are invisible to names: a layout
// in a dock is still "kestrelMainWindow|toolLayout".
//
// Everything needs a QApplication; without one IsAvailable() is false and every operation
// fails (the batch runner creates one with the offscreen platform).
class KESTREL_EXPORT UiLayouts
{
public:
    UiLayouts();
    ~UiLayouts();
    UiLayouts(const UiLayouts&) = delete;
    UiLayouts& operator=(const UiLayouts&) = delete;

    // Puts a widget directly under the main window; the placer makes it (or a container it
    // marks with MarkAsPlacement) a child of the main window.
    using Placer = std::function<void(QWidget* widget)>;

    bool IsAvailable() const;
    // Makes `window` the main window (named "kestrelMainWindow" here) before anything used the
    // default one; false, leaving everything as it was, once a main window exists.
    bool InstallMainWindow(std::unique_ptr<QWidget> window, Placer placer);
    // Marks a container that only holds a layout or widget somewhere (a dock, a scroll area and
    // its viewport): names and lookups pass through it.
    static void MarkAsPlacement(QWidget* container);
    // Destroys the main window with everything in it (the host does so while everything its
    // views use is still there).
    void DestroyMainWindow();
    // The main window, made on first use (hidden). nullptr without a QApplication.
    QWidget* MainWindow();
    // Creates a layout named `name` inside `parentLayout` (nullptr: the current parent) and
    // makes it the current parent. nullptr with `error` for a name that is not an identifier or
    // already names a layout, or without a user interface.
    QWidget* CreateLayout(const QString& name, QWidget* parentLayout, QString* error);
    // A layout by name or full name; nullptr when none.
    QWidget* FindLayout(const QString& nameOrFullName);
    // The layout new panels go into: the last one created or set, the main window at first,
    // and the main window again once that layout is gone.
    QWidget* CurrentParent();
    Status SetCurrentParent(QWidget* layout);
    // The widget's full name; empty for widgets outside the main window.
    QString FullName(const QWidget* widget);
    // A widget by full name; nullptr when none.
    QWidget* FindWidget(const QString& fullName);
    // The host layout that is `widget`'s parent (whether or not it arranged the widget yet), or
    // nullptr when its parent is none of ours.
    QWidget* HoldingLayout(const QWidget* widget);
    // Puts `widget` at the end of `layout` (which becomes its parent), unless the layout holds
    // it already. A widget without an object name gets `typeName` followed by the smallest free
    // number ("Panel1"). Returns the widget's full name; empty with `error` when the layout is
    // not one of ours.
    QString AddWidget(QWidget* widget, QWidget* layout, const QString& typeName, QString* error);

private:
    bool IsLayout(const QWidget* widget) const;
    static bool IsPlacement(const QWidget* widget);
    // A child named `name` of `parent`, looking through placement containers.
    static QWidget* FindChildThroughPlacements(QWidget* parent, const QString& name);
    // Adds `widget` to `layout`'s arrangement (the placer's, for an installed main window).
    void Arrange(QWidget* layout, QWidget* widget);

    std::unique_ptr<QWidget> m_mainWindow;
    QPointer<QWidget> m_currentParent;
    Placer m_placer;
};

} // namespace kestrel
