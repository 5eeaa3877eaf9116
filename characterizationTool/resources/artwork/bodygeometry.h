// The shapes the artwork program draws: every part's bone and the body each page shows.
#pragma once

#include <QPainterPath>
#include <QSize>
#include <QString>
#include <QVector>

// One image base and its drawing. The shape is in the image's own pixels, (0, 0) at its
// top-left corner; every part that uses the base is drawn from it.
struct PartShape
{
    QString imageBase;
    QSize size;
    QPainterPath shape;
};

// What the background of one page shows, in page pixels (250 x 380).
struct PageBody
{
    QPainterPath flesh; // the body outline, filled
    QPainterPath ghost; // optional digits (the sixth finger or toe), drawn dashed
    QPainterPath marks; // thin guide lines: joint circles, ribs, the roll axis
};

// Derives part shapes and page bodies from the diagram layout, so the drawings follow the
// fixed part positions: each bone is placed inside its part's rectangle, and the body is drawn
// around the bones of its page.
class BodyGeometry
{
public:
    BodyGeometry();

    // Every image base of every page, each once, in layout order.
    const QVector<PartShape>& Parts() const { return m_parts; }
    // Body of page index 0-16.
    const PageBody& Body(int page) const { return m_bodies[page]; }

private:
    void AddPart(const QString& imageBase, QSize size, const QPainterPath& shape);
    void BuildFullBody();
    void BuildDigitPage(int page, bool foot);
    void BuildStackPage(int page);
    void BuildCollarPage(int page);
    void BuildRollPage(int page);

    QVector<PartShape> m_parts;
    QVector<PageBody> m_bodies;
};
