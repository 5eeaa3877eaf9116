// createLayout, setParent, showPanel, deleteUI, snapshot and click.
#include "base/savefile.h"
#include "commands/builtincommand.h"
#include "commands/builtincommands.h"
#include "script/parsedarguments.h"
#include "ui/panelregistry.h"
#include "ui/uilayouts.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include <memory>

namespace kestrel {

namespace {

// A command on the host's user interface.
class UiCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

protected:
    // Whether this session has a user interface; displays an error when it has none.
    bool RequireUi() const
    {
        if (GetHost().GetLayouts().IsAvailable())
            return true;
        Fail(QStringLiteral("There is no user interface in this session."), Status::InvalidState);
        return false;
    }

    // The element of that full name, or with that object name: a layout's or else the first
    // widget's under the main window. Displays an error and answers nullptr when there is none.
    QWidget* RequireElement(const QString& name) const
    {
        UiLayouts& layouts = GetHost().GetLayouts();
        QWidget* element = nullptr;
        if (name.contains(QLatin1Char('|')))
            element = layouts.FindWidget(name);
        else if (!(element = layouts.FindLayout(name)) && layouts.MainWindow())
            element = layouts.MainWindow()->findChild<QWidget*>(name);
        if (!element)
            Fail(QStringLiteral("No user interface element \"%1\".").arg(name), Status::NotFound);
        return element;
    }
};

// createLayout NAME [-parent LAYOUT]: a new layout, which becomes the current parent.
// Returns its full name.
class CreateLayoutCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        UiLayouts& layouts = GetHost().GetLayouts();
        QWidget* parent = nullptr;
        QString parentName;
        if (parsed.GetFlagArgument(QStringLiteral("parent"), 0, parentName) == Status::Success &&
            !(parent = layouts.FindLayout(parentName)))
            return Fail(QStringLiteral("No layout named \"%1\".").arg(parentName),
                        Status::NotFound);
        QString error;
        QWidget* layout = layouts.CreateLayout(parsed.PositionalStrings().first(), parent, &error);
        if (!layout)
            return Fail(error, Status::InvalidState);
        SetResult(layouts.FullName(layout));
        return Status::Success;
    }
};

// setParent [LAYOUT]: makes the layout the current parent; answers the current parent's full
// name.
class SetParentCommand : public UiCommand
{
public:
    using UiCommand::UiCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        UiLayouts& layouts = GetHost().GetLayouts();
        if (!RequireUi())
            return Status::InvalidState;
        if (!parsed.Positional().isEmpty()) {
            const QString name = parsed.PositionalStrings().first();
            QWidget* layout = layouts.FindLayout(name);
            if (!layout)
                return Fail(QStringLiteral("No layout named \"%1\".").arg(name), Status::NotFound);
            layouts.SetCurrentParent(layout);
        }
        SetResult(layouts.FullName(layouts.CurrentParent()));
        return Status::Success;
    }
};

// showPanel TYPE: builds a panel of a registered type in the current parent layout and
// answers the panel's full name.
class ShowPanelCommand : public UiCommand
{
public:
    using UiCommand::UiCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const QString type = ParsedArguments(arguments).PositionalStrings().first();
        UiLayouts& layouts = GetHost().GetLayouts();
        if (!RequireUi())
            return Status::InvalidState;
        QWidget* parent = layouts.CurrentParent();
        Status status = Status::Success;
        QWidget* panel = GetHost().GetPanels().Create(type, parent, QString(), &status);
        if (status == Status::NotFound)
            return Fail(QStringLiteral("No panel type named \"%1\".").arg(type), status);
        if (!panel)
            return Fail(QStringLiteral("The panel \"%1\" could not be created.").arg(type), status);
        // The creator may have put the panel into a host layout of its choice; otherwise it
        // goes into the current parent.
        QWidget* holder = layouts.HoldingLayout(panel);
        QString error;
        const QString fullName = layouts.AddWidget(panel, holder ? holder : parent, type, &error);
        if (fullName.isEmpty())
            return Fail(error, Status::Failure);
        SetResult(fullName);
        return Status::Success;
    }
};

// deleteUI FULLNAME: closes a layout or widget of the host's interface at once, as a user
// closing a panel would; weak pointers that plug-ins hold to it clear immediately.
class DeleteUiCommand : public BuiltinCommand
{
public:
    using BuiltinCommand::BuiltinCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const QString name = ParsedArguments(arguments).PositionalStrings().first();
        UiLayouts& layouts = GetHost().GetLayouts();
        QWidget* widget =
            name.contains(QLatin1Char('|')) ? layouts.FindWidget(name) : layouts.FindLayout(name);
        if (!widget || widget == layouts.MainWindow())
            return Fail(QStringLiteral("No user interface element \"%1\" to delete.").arg(name),
                        Status::NotFound);
        // The host ends the widget's life: it leaves its parent and is destroyed now.
        std::unique_ptr<QWidget> doomed(widget);
        doomed->setParent(nullptr);
        return Status::Success;
    }
};

// snapshot [-widget FULLNAME] [-height PIXELS] "file": renders the main window, or one widget
// of it, into an image file whose format follows the file's suffix (PNG when the suffix names
// no format); -height scales the picture to that many pixels high (a thumbnail).
// Works on the offscreen platform and for a window that was never shown. Answers the file path
// written.
class SnapshotCommand : public UiCommand
{
public:
    using UiCommand::UiCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        UiLayouts& layouts = GetHost().GetLayouts();
        if (!RequireUi())
            return Status::InvalidState;
        QWidget* widget = layouts.MainWindow();
        QString name;
        if (parsed.GetFlagArgument(QStringLiteral("widget"), 0, name) == Status::Success) {
            if (!(widget = RequireElement(name)))
                return Status::NotFound;
        }
        const QString path = parsed.PositionalStrings().first();
        QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
        if (!QImageWriter::supportedImageFormats().contains(format))
            format = "png";
        // A shown window catches up first with what is queued for it (widgets added to a
        // layout are shown later, views refresh later), so the picture is what a person sees.
        // QWidget::grab lays out and polishes hidden widgets before rendering them.
        if (widget->window()->isVisible())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QPixmap pixmap = widget->grab();
        int height = 0;
        if (parsed.GetFlagArgument(QStringLiteral("height"), 0, height) == Status::Success) {
            if (height < 1)
                return Fail(QStringLiteral("-height must be at least 1 pixel."));
            pixmap = pixmap.scaledToHeight(height, Qt::SmoothTransformation);
        }
        QByteArray image;
        QBuffer buffer(&image);
        QString reason = QStringLiteral("the image cannot be encoded");
        if (!buffer.open(QIODevice::WriteOnly) || !pixmap.save(&buffer, format.constData()) ||
            !SaveFileContents(path, image, &reason))
            return Fail(QStringLiteral("Cannot write \"%1\": %2").arg(path, reason),
                        Status::Failure);
        SetResult(path);
        return Status::Success;
    }
};

// click NAME -at X Y [-double] [-menu ENTRY]: a left click (or double click) at pixel X, Y of the
// element, sent to the innermost widget there as the window system would. With -menu it is a
// right click instead, and the context menu it opens is answered by triggering its enabled
// entry ENTRY (mnemonics ignored); no such menu or entry is an error. A window that was never
// shown is laid out first, so scripts can click in batch runs.
class ClickCommand : public UiCommand
{
public:
    using UiCommand::UiCommand;

    Status Run(const ArgumentList& arguments) override
    {
        const ParsedArguments parsed(arguments);
        if (!RequireUi())
            return Status::InvalidState;
        const QString name = parsed.PositionalStrings().first();
        QWidget* widget = RequireElement(name);
        if (!widget)
            return Status::NotFound;
        QPoint at;
        if (parsed.GetFlagArgument(QStringLiteral("at"), 0, at.rx()) != Status::Success ||
            parsed.GetFlagArgument(QStringLiteral("at"), 1, at.ry()) != Status::Success)
            return Fail(QStringLiteral("-at X Y is needed."));
        if (!widget->window()->isVisible())
            widget->window()->grab(QRect(0, 0, 1, 1)); // rendering lays out hidden windows
        if (!widget->rect().contains(at))
            return Fail(QStringLiteral("%1, %2 lies outside \"%3\" (%4 x %5).")
                            .arg(at.x())
                            .arg(at.y())
                            .arg(name)
                            .arg(widget->width())
                            .arg(widget->height()));
        QWidget* target = widget->childAt(at);
        if (!target)
            target = widget;
        const QPoint local = target->mapFrom(widget, at);
        const QPoint global = target->mapToGlobal(local);
        QString entry;
        const bool menu =
            parsed.GetFlagArgument(QStringLiteral("menu"), 0, entry) == Status::Success;
        const Qt::MouseButton button = menu ? Qt::RightButton : Qt::LeftButton;
        bool triggered = false;
        QObject answering; // ends the wait for a menu that never opened with this command
        if (menu) {
            QTimer::singleShot(0, &answering, [&entry, &triggered] {
                auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!popup)
                    return;
                QAction* chosen = nullptr;
                for (QAction* action : popup->actions()) {
                    if (action->isEnabled() && !action->isSeparator() &&
                        action->text().remove(QLatin1Char('&')) == entry)
                        chosen = action;
                }
                popup->close();
                if (chosen) {
                    chosen->trigger();
                    triggered = true;
                }
            });
        }
        const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
            QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        send(QEvent::MouseButtonPress, button);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
        if (menu && !triggered)
            return Fail(QStringLiteral("No context menu with an enabled entry \"%1\" opened at %2, "
                                       "%3 of \"%4\".")
                            .arg(entry)
                            .arg(at.x())
                            .arg(at.y())
                            .arg(name));
        if (parsed.IsFlagSet(QStringLiteral("double"))) {
            send(QEvent::MouseButtonDblClick, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, Qt::NoButton);
        }
        return Status::Success;
    }
};

Syntax OneName()
{
    Syntax syntax;
    syntax.SetPositionalArguments(ArgumentType::String, 1, 1);
    return syntax;
}

} // namespace

void RegisterUiCommands(Host& host)
{
    RegisterBuiltin<CreateLayoutCommand>(host, QStringLiteral("createLayout"), [] {
        Syntax syntax = OneName();
        syntax.AddFlag(QStringLiteral("-p"), QStringLiteral("-parent"), ArgumentType::String);
        return syntax;
    });
    RegisterBuiltin<SetParentCommand>(host, QStringLiteral("setParent"), [] {
        Syntax syntax;
        syntax.SetPositionalArguments(ArgumentType::String, 0, 1);
        return syntax;
    });
    RegisterBuiltin<ShowPanelCommand>(host, QStringLiteral("showPanel"), OneName);
    RegisterBuiltin<DeleteUiCommand>(host, QStringLiteral("deleteUI"), OneName);
    RegisterBuiltin<SnapshotCommand>(host, QStringLiteral("snapshot"), [] {
        Syntax syntax = OneName();
        syntax.AddFlag(QStringLiteral("-w"), QStringLiteral("-widget"), ArgumentType::String);
        syntax.AddFlag(QStringLiteral("-h"), QStringLiteral("-height"), ArgumentType::Int);
        return syntax;
    });
    RegisterBuiltin<ClickCommand>(host, QStringLiteral("click"), [] {
        Syntax syntax = OneName();
        syntax.AddFlag(QStringLiteral("-a"), QStringLiteral("-at"),
                       {ArgumentType::Int, ArgumentType::Int});
        syntax.AddFlag(QStringLiteral("-d"), QStringLiteral("-double"));
        syntax.AddFlag(QStringLiteral("-m"), QStringLiteral("-menu"), ArgumentType::String);
        return syntax;
    });
}

} // namespace kestrel
