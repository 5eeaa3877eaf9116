// Transform channels reachable by name as attributes ("translateX", "rx", "rotateOrder", ...).
#pragma once

#include "base/value.h"
#include "kestrelexport.h"

#include <QString>

namespace kestrel {

class Node;
struct TransformValues;

// Channels of transforms and joints, long and short names:
//   translateX/Y/Z (tx ty tz)      double, scene units
//   rotateX/Y/Z (rx ry rz)         double, degrees
//   scaleX/Y/Z (sx sy sz)          double
//   rotateAxisX/Y/Z (rax ray raz)  double, degrees
//   jointOrientX/Y/Z (jox joy joz) double, degrees, joints only
//   rotateOrder (ro)               int 0 xyz, 1 yzx, 2 zxy, 3 xzy, 4 yxz, 5 zyx
class KESTREL_EXPORT TransformChannels
{
public:
    // True when `name` is a channel of `node` (a transform; joint orients on joints only).
    static bool IsChannel(const Node& node, const QString& name);
    // The channel's value; nothing when it is not a channel of the node.
    static Value Read(const Node& node, const QString& name);
    // Writes the channel into `values`. False with `error` for a value of the wrong type or an
    // out-of-range rotation order.
    static bool Write(const Node& node, const QString& name, const Value& value,
                      TransformValues* values, QString* error);
};

} // namespace kestrel
