// The weights of a crossfade between two pictures: the new picture's share
// in each mixed frame. They grow by 0.02 in single precision from 0 while
// below 1, which gives 51 mixed frames (the last weight just under 1).
#pragma once

#include <vector>

inline std::vector<float> CrossfadeWeights()
{
    std::vector<float> weights;
    for (float f = 0; f < 1; f = f + 0.02f) weights.push_back(f);
    return weights;
}
