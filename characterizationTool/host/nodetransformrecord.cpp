#include "nodetransformrecord.h"

#include <cstring>

kinetra::NodeRestState ToRestState(const NodeTransformRecord& record)
{
    kinetra::NodeRestState state = kinetra::MakeResetNodeRestState();
    std::memcpy(state.Translate, record.Translate, sizeof state.Translate);
    std::memcpy(state.Rotate, record.Rotate, sizeof state.Rotate);
    std::memcpy(state.Scale, record.Scale, sizeof state.Scale);
    std::memcpy(state.PreRot, record.PreRot, sizeof state.PreRot);
    std::memcpy(state.PostRot, record.PostRot, sizeof state.PostRot);
    std::memcpy(state.MaxRLimit, record.MaxRLimit, sizeof state.MaxRLimit);
    std::memcpy(state.MinRLimit, record.MinRLimit, sizeof state.MinRLimit);
    state.LimitFlags = record.LimitFlags;
    std::memcpy(state.RotateParentOffset, record.RotateParentOffset,
                sizeof state.RotateParentOffset);
    state.RotationOrder = record.RotationOrder;
    return state;
}
