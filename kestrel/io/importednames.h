// Legal, unique host names for nodes read from foreign skeleton files.
#pragma once

#include "scene/attribute.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

namespace kestrel {

// Names every imported node of one file. A name is escaped as EscapeNodeName does (the same
// reversible escape BVH import uses: "upper_arm.L" becomes "upper_armXFRASC046L"); an empty
// name becomes "joint"; a name already given in this file gets "_2", "_3", ... appended. When
// the host name differs from the file's, the file's name is kept on the node as the string
// attribute "originalName" so people and templates can still read it.
class ImportedNames
{
public:
    // The host name for `original`, unique within this file; appends the attribute to
    // `attributes` when the name had to change.
    QString Add(const QString& original, std::vector<Attribute>* attributes);

private:
    QSet<QString> m_used;
    QHash<QString, int> m_nextSuffix; // escaped name -> the next suffix to try
};

// Name of the attribute that keeps a node's name as the file wrote it.
QString OriginalNameAttribute();

} // namespace kestrel
