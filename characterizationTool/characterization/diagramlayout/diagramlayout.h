// The fixed layout of the body diagram: every page, part, arrow and inversion marker.
#pragma once

#include "diagramelement.h"
#include "diagramview.h"
#include "staterepresentation.h"

#include <QVector>

// Built in code on first use and shared by every diagram of the process; never changed nor
// freed afterwards, so references into it stay valid for the life of the process.
//
// Page 0 is the full body with 17 parts, 16 arrows to the detail pages and the four inversion
// markers; pages 1-16 are the hands, feet, neck, spine, collars and the eight roll pages, each
// with one arrow back to page 0. Every node 0-211 except the in-line roll nodes 41-48 is a part
// on exactly one page.
class DiagramLayout
{
public:
    static constexpr int kPageCount = 17;
    static constexpr int kBackgroundWidth = 250; // pixels, every page
    static constexpr int kBackgroundHeight = 380;

    // The process-wide layout, built and filled once by the first caller; later callers get the
    // same object. Meant for the UI thread.
    static const DiagramLayout& Instance();

    // The overall validation light, shown on every page at (205, 11).
    DiagramElement statusElement;
    StateRepresentation stateRepresentation;
    // The 17 pages in page-index order.
    QVector<DiagramView> views;

private:
    DiagramLayout();
    void Fill();
};
