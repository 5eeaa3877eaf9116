#include "nodedisplayname.h"

#include "model/nodecatalogue.h"
#include "solver/nodenames.h"

QString NodeDisplayName(int node)
{
    if (!IsNodeId(node))
        return QString();
    QString name = QLatin1String(kinetra::NodeName(node));
    name.replace(QLatin1String("FootExtraFinger"), QLatin1String("FootBigToe"));
    return name;
}
