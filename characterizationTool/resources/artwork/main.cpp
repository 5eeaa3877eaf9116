// Build-time program that draws every image the tool shows and lists them for the resource
// compiler. Usage: characterizationArtwork OUTPUT_DIR [--preview PREVIEW_DIR]
//
// With --preview it also writes each diagram page composed with its parts in a mix of states
// (and one part picked, one selected), doubled in size, so the drawings can be checked by eye.
#include "artworkwriter.h"
#include "bodygeometry.h"
#include "diagramlayout.h"
#include "iconpainter.h"
#include "statuspainter.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>

#include <cstdio>

namespace {

// Suffixes of the three status variants arrows and the status light have besides ".png".
const char* const kStatusSuffixes[] = {".png", "_Valid.png", "_Warn.png", "_Err.png"};

bool DrawAll(ArtworkWriter& writer, const BodyGeometry& geometry)
{
    const DiagramLayout& layout = DiagramLayout::Instance();
    const StateRepresentation& states = layout.stateRepresentation;
    bool ok = true;
    for (const DiagramView& page : layout.views)
        ok &= writer.Save(page.backgroundImage,
                          IconPainter::Background(geometry.Body(page.pageIndex)));
    for (const PartShape& part : geometry.Parts()) {
        for (int key = 0; key < StateRepresentation::kKeyCount; ++key)
            ok &= writer.Save(states.ImageName(part.imageBase, key),
                              StatusPainter::Part(part.size, part.shape, key));
    }
    for (int status = 0; status < 4; ++status) {
        const QLatin1String suffix(kStatusSuffixes[status]);
        ok &= writer.Save(layout.statusElement.imageBase + suffix,
                          StatusPainter::StatusLight(status));
        ok &= writer.Save(QStringLiteral("GoToArrow") + suffix,
                          StatusPainter::GoToArrow(status, false));
        ok &= writer.Save(QStringLiteral("GoToArrowTrans") + suffix,
                          StatusPainter::GoToArrow(status, true));
    }
    ok &= writer.Save(QStringLiteral("ReturnToArrow.png"), IconPainter::ReturnArrow());
    for (bool left : {true, false}) {
        const QString side = left ? QStringLiteral("Left") : QStringLiteral("Right");
        ok &= writer.Save(side + QStringLiteral("Inversed.png"),
                          IconPainter::InversionMarker(left, true));
        ok &= writer.Save(side + QStringLiteral("Normal.png"),
                          IconPainter::InversionMarker(left, false));
    }
    for (const char* icon : {"createChar", "deleteChar", "lockChar", "unlockChar", "mirrorChar",
                             "unmirrorChar", "mapChar", "autoChar", "fixStance"}) {
        ok &= writer.Save(QLatin1String(icon) + QStringLiteral(".png"),
                          IconPainter::ToolBarIcon(QLatin1String(icon)));
    }
    const char* const bubbleColours[] = {"Gray", "Green", "Orange", "Red"};
    for (int status = 0; status < 4; ++status) {
        const QString name = QStringLiteral("BubbleSmall_") + QLatin1String(bubbleColours[status]);
        ok &= writer.Save(name + QStringLiteral(".png"), StatusPainter::Bubble(status, false));
        ok &= writer.Save(name + QStringLiteral("_Highlight.png"),
                          StatusPainter::Bubble(status, true));
    }
    return ok;
}

// The page as the diagram shows it, with parts in varied states, for looking at.
QImage ComposePage(const QDir& images, const DiagramView& page, int scale)
{
    const DiagramLayout& layout = DiagramLayout::Instance();
    const StateRepresentation& states = layout.stateRepresentation;
    QImage canvas(250 * scale, 380 * scale, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    painter.drawImage(0, 0, QImage(images.filePath(page.backgroundImage)));
    int index = 0;
    for (const DiagramElement& part : page.parts) {
        const int status = (part.node / 2 + index) % 4;
        painter.drawImage(part.x, part.y,
                          QImage(images.filePath(states.ImageName(part.imageBase, status))));
        const int interaction = index == 1   ? StateRepresentation::kPicked
                                : index == 3 ? StateRepresentation::kSelected
                                             : StateRepresentation::kNoInteraction;
        const int overlay = StateRepresentation::OverlayKey(status, interaction);
        if (overlay >= 0)
            painter.drawImage(part.x, part.y,
                              QImage(images.filePath(states.ImageName(part.imageBase, overlay))));
        ++index;
    }
    for (const DiagramElement& arrow : page.arrows)
        painter.drawImage(arrow.x, arrow.y,
                          QImage(images.filePath(states.ImageName(
                              arrow.imageBase, arrow.node % 4 < 0 ? 0 : arrow.node % 4))));
    for (const InversionElement& marker : page.inversions)
        painter.drawImage(
            marker.x, marker.y,
            QImage(images.filePath(marker.node < 8 ? marker.invertedImage : marker.normalImage)));
    const DiagramElement& light = layout.statusElement;
    painter.drawImage(light.x, light.y,
                      QImage(images.filePath(states.ImageName(light.imageBase, 2))));
    return canvas;
}

// Icons, arrows, markers, lights and bubbles four times their size on the page colour.
QImage ComposeIcons(const QDir& images)
{
    const QStringList names = images.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)
                                  .filter(QRegularExpression(QStringLiteral("^(?!.*GUI_Base)")));
    QImage sheet(8 * 160, ((names.size() + 7) / 8) * 160, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(68, 68, 68));
    QPainter painter(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        const QImage image(images.filePath(names[i]));
        painter.drawImage(QRect(QPoint(160 * (i % 8) + 8, 160 * (i / 8) + 8), image.size() * 4),
                          image);
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs no display; text is never drawn, so no fonts are needed either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--preview"))) {
        std::fprintf(stderr, "usage: characterizationArtwork OUTPUT_DIR [--preview DIR]\n");
        return 2;
    }
    ArtworkWriter writer(args[1]);
    const BodyGeometry geometry;
    if (!DrawAll(writer, geometry) ||
        !writer.WriteCollection(QStringLiteral("characterizationtool.qrc"))) {
        return 1;
    }
    if (args.size() == 4) {
        QDir preview(args[3]);
        preview.mkpath(QStringLiteral("."));
        // Every page at twice its size, and all of them side by side at their own size.
        const QVector<DiagramView>& pages = DiagramLayout::Instance().views;
        QImage sheet(250 * 6, 380 * 3, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(Qt::black);
        QPainter sheetPainter(&sheet);
        for (const DiagramView& page : pages) {
            const QString file = QStringLiteral("page%1_%2.png")
                                     .arg(page.pageIndex, 2, 10, QLatin1Char('0'))
                                     .arg(page.name);
            if (!ComposePage(writer.OutputDir(), page, 2).save(preview.filePath(file)))
                return 1;
            sheetPainter.drawImage(250 * (page.pageIndex % 6), 380 * (page.pageIndex / 6),
                                   ComposePage(writer.OutputDir(), page, 1));
        }
        sheetPainter.end();
        if (!sheet.save(preview.filePath(QStringLiteral("pages.png"))) ||
            !ComposeIcons(writer.OutputDir()).save(preview.filePath(QStringLiteral("icons.png"))))
            return 1;
    }
    return 0;
}
